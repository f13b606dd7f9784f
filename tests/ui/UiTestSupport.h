#pragma once

#include <gtest/gtest.h>

#include "MapBuilder.h"

#include <QAbstractButton>
#include <QApplication>
#include <QEvent>
#include <QMessageBox>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <cstdint>
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

inline void ExpectDesign(const platform::DesignWindow& window, const std::vector<DesignRow>& rows) {
    for (const DesignRow& row : rows) {
        SCOPED_TRACE(row.name);
        const auto* control = window.Control<QWidget>(row.name);
        ASSERT_NE(control, nullptr);
        EXPECT_TRUE(control->inherits(row.kind)) << control->metaObject()->className();
        EXPECT_EQ(control->parentWidget()->objectName(), row.parent);
        EXPECT_EQ(QRect(control->mapTo(window.Content(), QPoint(0, 0)), control->size()), row.rect);
        if (row.caption != nullptr) {
            EXPECT_EQ(
                control->property(control->inherits("QGroupBox") ? "title" : "text").toString(),
                row.caption);
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

// Each case starts with the default settings, an empty configuration folder (XDG_CONFIG_HOME
// points into a temporary folder), no window open, and message boxes answered by the test
// instead of a user.
class UiTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(config_.isValid());
        ASSERT_TRUE(files_.isValid());
        CloseAllWindows();
        qputenv("XDG_CONFIG_HOME", config_.path().toLocal8Bit());
        platform::UseConfigurationFolder();
        Prefernces::ResetToDefaults();
        platform::SetMessageHook(platform::ShowMessage);
        platform::SetModalHook([this](QMessageBox& box) -> QAbstractButton* {
            ShownBox seen{box.text(), box.informativeText(), {}, box.icon()};
            QAbstractButton* chosen =
                box.escapeButton() != nullptr ? box.escapeButton() : box.button(QMessageBox::Ok);
            for (QAbstractButton* button : box.buttons()) {
                seen.buttons.append(button->text());
                if (button->text() == answer) {
                    chosen = button;
                }
            }
            shown.push_back(seen);
            return chosen;
        });
    }

    void TearDown() override {
        CloseAllWindows();
        platform::SetModalHook(nullptr);
        platform::SetOpenFileHook(nullptr);
        platform::SetFolderHook(nullptr);
        platform::SetMessageHook(nullptr);
        platform::SetYieldHook(nullptr);
        Prefernces::ResetToDefaults();
    }

    // The version the program stamps on its preferences file.
    static constexpr int32_t kMajor = MORVANE_VERSION_MAJOR;
    static constexpr int32_t kMinor = MORVANE_VERSION_MINOR;

    // A preferences file as the program writes it: Int32s big-endian, then the tag byte, the
    // folder's length byte and its bytes.
    static std::vector<uint8_t> PrefsBytes(const Prefernces::FileContents& c) {
        std::vector<uint8_t> bytes;
        for (int32_t value : {c.majorVersion, c.minorVersion, c.scriptCommand, c.scriptPrinting,
                              c.decompStyle, c.engineCommands}) {
            for (int shift = 24; shift >= 0; shift -= 8) {
                bytes.push_back(static_cast<uint8_t>(static_cast<uint32_t>(value) >> shift));
            }
        }
        bytes.push_back(c.syntaxTag ? 1 : 0);
        bytes.push_back(static_cast<uint8_t>(c.mapFolder.size()));
        bytes.insert(bytes.end(), c.mapFolder.begin(), c.mapFolder.end());
        return bytes;
    }

    std::string PrefsPath() const { return platform::DefaultFolderItem(Prefernces::kFileName); }
    // Its bytes; none when it cannot be read.
    std::vector<uint8_t> PrefsFile() const { return ReadFileBytes(PrefsPath()); }
    // A path in a temporary folder of the case's own.
    std::string TempPath(const std::string& name) const {
        return platform::PathToBytes(files_.filePath(platform::PathFromBytes(name)));
    }

    // The boxes shown so far.
    std::vector<ShownBox> shown;
    // The caption of the button a box is answered with; when no button has it, the box's
    // escape button, else its OK button.
    QString answer;

private:
    QTemporaryDir config_;
    QTemporaryDir files_;
};

}  // namespace uitest
