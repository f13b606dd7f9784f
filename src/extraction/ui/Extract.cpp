#include "extraction/ui/Extract.h"

#include <QComboBox>
#include <QPlainTextEdit>
#include <QSaveFile>

#include "decompiler/TypeNames.h"
#include "extraction/ui/MenuBar2.h"
#include "platform/Hooks.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/QtText.h"

using platform::LockBottom;
using platform::LockLeft;
using platform::LockNone;
using platform::LockRight;
using platform::LockTop;

namespace {

template <size_t N>
QStringList Items(const std::array<std::string_view, N>& names) {
    QStringList items;
    for (std::string_view name : names) {
        items.append(platform::FromBytes(std::string(name)));
    }
    return items;
}

}  // namespace

Extract::Extract() {
    setObjectName(QStringLiteral("Extract"));
    Layout();
    CreateControls();
    AddMenuHandlers();
}

void Extract::Layout() {
    SetMenuBar(&MenuBar2::Instance());
    platform::WindowDesign design;
    design.title = QStringLiteral("Extracted");
    design.size = QSize(393, 729);
    ApplyDesign(design);
}

void Extract::CreateControls() {
    _CreateControls0();
}

void Extract::_CreateControls0() {
    FldExtract = AddControl<QPlainTextEdit>(nullptr, "FldExtract", {1, 0, 392, 729},
                                            LockLeft | LockTop | LockRight | LockBottom);
    FldExtract->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    FldExtract->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    FldExtract->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    FldExtract->setTabChangesFocus(true);
    ReType = AddControl<QComboBox>(nullptr, "ReType", {241, -49, 152, 20}, LockNone);
    ReType->addItems(Items(ValueTypeNames));
    Type = AddControl<QComboBox>(nullptr, "Type", {9, -49, 195, 20}, LockTop);
    Type->addItems(Items(ScriptTypeNames));
}

void Extract::AddMenuHandlers() {
    _AddMenuHandler("Filesave", [this] { return _Filesave_Action(); });
}

void Extract::AppendText(const std::string& text) {
    const QString added = platform::FromBytes(text);
    if (FldExtract->document()->isEmpty()) {
        // Laid out once, in one piece.
        FldExtract->setPlainText(added);
        return;
    }
    QTextCursor end(FldExtract->document());
    end.movePosition(QTextCursor::End);
    end.insertText(added);
}

bool Extract::_Filesave_Action() {
    // The dialog lets the event loop run; the text saved is this window's.
    const Job job(*this);
    const QString chosen = platform::ChooseSaveFile({this, QStringLiteral("scripts")});
    if (chosen.isEmpty()) {
        return false;
    }
    // Written beside the chosen file and put in its place only when complete, so a failed
    // save never leaves an earlier file half-written.
    QSaveFile file(chosen);
    const bool saved =
        file.open(QIODevice::WriteOnly) &&
        file.write(ScriptsSaved.data(), static_cast<qint64>(ScriptsSaved.size())) ==
            static_cast<qint64>(ScriptsSaved.size()) &&
        file.commit();
    if (!saved) {
        platform::MsgBox(platform::Message("The text could not be saved to ")
                             .Path(platform::PathToBytes(chosen))
                             .Text(": " + platform::ToBytes(file.errorString())));
    }
    return false;
}
