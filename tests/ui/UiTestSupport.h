#pragma once

#include <gtest/gtest.h>

#include "MapBuilder.h"

#include <QAbstractButton>
#include <QApplication>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QMessageBox>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/Hooks.h"
#include "platform/ui/DesignWindow.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/QtText.h"
#include "platform/ui/Runtime.h"
#include "preferences/Prefernces.h"

namespace uitest {

// What a modal message box showed.
struct ShownBox {
    QString text;
    QString informative;
    QStringList buttons;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
};

// One control of a window's design: its class, the widget it lies on ("content", a page "pageN"
// or a group box), its rectangle in the window's content area and, unless null, its caption.
struct DesignRow {
    const char* name;
    const char* kind;
    const char* parent;
    QRect rect;
    const char* caption = nullptr;
};

inline QString Caption(const QWidget& control) {
    if (const auto* label = qobject_cast<const QLabel*>(&control)) {
        return label->text();
    }
    if (const auto* button = qobject_cast<const QAbstractButton*>(&control)) {
        return button->text();
    }
    const auto* box = qobject_cast<const QGroupBox*>(&control);
    return box != nullptr ? box->title() : QString();
}

inline void ExpectDesign(const platform::DesignWindow& window, const std::vector<DesignRow>& rows) {
    for (const DesignRow& row : rows) {
        SCOPED_TRACE(row.name);
        const auto* control = window.Control<QWidget>(row.name);
        ASSERT_NE(control, nullptr);
        EXPECT_TRUE(control->inherits(row.kind)) << control->metaObject()->className();
        EXPECT_EQ(control->parentWidget()->objectName(), row.parent);
        EXPECT_EQ(QRect(control->mapTo(window.Content(), QPoint(0, 0)), control->size()), row.rect);
        if (row.caption != nullptr) {
            EXPECT_EQ(Caption(*control), row.caption);
        }
    }
}

// Closes every window and lets the closed ones be destroyed.
inline void CloseAllWindows() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (qobject_cast<platform::DesignWindow*>(widget) != nullptr) {
            widget->close();
        }
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// Runs the events waiting now, including queued calls.
inline void ProcessEvents() {
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

using testmap::ReadFileBytes;

inline void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

// A preferences file as the program writes it: Int32s big-endian, then the tag byte, the
// folder's length byte and its bytes.
inline std::vector<uint8_t> PrefsBytes(int32_t major, int32_t minor, int32_t scriptCommand,
                                       int32_t scriptPrinting, int32_t decompStyle,
                                       int32_t engineCommands, bool syntaxTag,
                                       const std::string& mapFolder) {
    std::vector<uint8_t> bytes;
    for (int32_t value :
         {major, minor, scriptCommand, scriptPrinting, decompStyle, engineCommands}) {
        const auto bits = static_cast<uint32_t>(value);
        for (int shift = 24; shift >= 0; shift -= 8) {
            bytes.push_back(static_cast<uint8_t>(bits >> shift));
        }
    }
    bytes.push_back(syntaxTag ? 1 : 0);
    bytes.push_back(static_cast<uint8_t>(mapFolder.size()));
    bytes.insert(bytes.end(), mapFolder.begin(), mapFolder.end());
    return bytes;
}

// Each case starts with the default settings, an empty configuration folder (XDG_CONFIG_HOME
// points into a temporary folder), no window open, and message boxes answered by the test
// instead of a user.
class UiTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    std::string PrefsPath() const;
    // A path in a temporary folder of the case's own.
    std::string TempPath(const std::string& name) const;

    // The boxes shown so far.
    std::vector<ShownBox> shown;
    // The caption of the button a box is answered with; when no button has it, the box's
    // escape button, else its OK button.
    QString answer;

private:
    QTemporaryDir config_;
    QTemporaryDir files_;
};

inline void UiTest::SetUp() {
    ASSERT_TRUE(config_.isValid());
    ASSERT_TRUE(files_.isValid());
    CloseAllWindows();
    qputenv("XDG_CONFIG_HOME", config_.path().toLocal8Bit());
    platform::UseConfigurationFolder();
    Prefernces::ResetToDefaults();
    platform::SetMessageHook(platform::ShowMessage);
    platform::SetModalHook([this](QMessageBox& box) -> QAbstractButton* {
        ShownBox seen{box.text(), box.informativeText(), {}, box.icon()};
        QAbstractButton* chosen = nullptr;
        for (QAbstractButton* button : box.buttons()) {
            seen.buttons.append(button->text());
            if (button->text() == answer) {
                chosen = button;
            }
        }
        shown.push_back(seen);
        if (chosen == nullptr) {
            chosen =
                box.escapeButton() != nullptr ? box.escapeButton() : box.button(QMessageBox::Ok);
        }
        return chosen;
    });
}

inline void UiTest::TearDown() {
    CloseAllWindows();
    platform::SetModalHook(nullptr);
    platform::SetOpenFileHook(nullptr);
    platform::SetFolderHook(nullptr);
    platform::SetMessageHook(nullptr);
    platform::SetYieldHook(nullptr);
    Prefernces::ResetToDefaults();
}

inline std::string UiTest::PrefsPath() const {
    return platform::DefaultFolderItem(Prefernces::kFileName);
}

inline std::string UiTest::TempPath(const std::string& name) const {
    return platform::PathToBytes(files_.filePath(platform::PathFromBytes(name)));
}

}  // namespace uitest
