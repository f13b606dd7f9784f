#include "preferences/ui/PreferncesMain.h"

#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>

#include <filesystem>

#include "mainwindow/ui/App.h"
#include "mainwindow/ui/MainWindow.h"
#include "platform/Hooks.h"
#include "platform/Text.h"
#include "platform/ui/Dialogs.h"
#include "preferences/Prefernces.h"
#include "preferences/ui/PrefWin.h"

namespace Prefernces {

namespace {

// The file holds the map folder's length in one byte.
constexpr size_t kMaxMapFolderBytes = 255;

FileContents Stamped() {
    const App* app = App::Instance();
    return CurrentSettings(app->MajorVersion(), app->MinorVersion());
}

}  // namespace

bool SavePrefernces() {
    const PrefWinControls& c = PrefWin::Instance()->Controls();
    const std::string folder = c.FldMapFolder->Path();
    if (folder.size() > kMaxMapFolderBytes) {
        platform::MsgBox("The map folder path is " +
                         platform::Str(static_cast<int64_t>(folder.size())) +
                         " bytes long, and the preferences file holds at most " +
                         platform::Str(static_cast<int64_t>(kMaxMapFolderBytes)) +
                         ". Choose a folder with a shorter path; nothing was saved.");
        return false;
    }
    ScriptCommand = c.RbStartup->isChecked() ? 1 : 2;
    ScriptPrinting = c.RbFloating->isChecked() ? 1 : 2;
    DecompStyle = c.RbOrder->isChecked() ? 1 : c.RbTree->isChecked() ? 2 : 3;
    EngineCommands = c.RbHardcode->isChecked() ? 1 : 2;
    SyntaxTag = c.RbTagYes->isChecked();
    MapFolder = folder;

    const std::string path = platform::DefaultFolderItem(kFileName);
    std::string reason;
    if (!WritePreferencesFile(path, Stamped(), {}, &reason)) {
        platform::MsgBox(platform::Message("The preferences could not be saved to ")
                             .Path(path)
                             .Text(": " + reason + ". The settings apply until the program ends."));
        return false;
    }
    return true;
}

void LoadPreferncesMain() {
    const std::string path = platform::DefaultFolderItem(kFileName);
    std::error_code error;
    if (!std::filesystem::exists(path, error)) {
        SavePrefernces();
        return;
    }
    platform::BinaryStream::OpenFailure failure{};
    const std::optional<FileVersion> version = ReadPreferencesVersion(path, &failure);
    if (!version && failure == platform::BinaryStream::OpenFailure::NotRegularFile) {
        platform::MsgBox(platform::Message("The preferences file ")
                             .Path(path)
                             .Text(" is not a regular file, so the default settings apply."));
        return;
    }
    if (!version) {
        platform::MsgBox(platform::Message("The preferences file ")
                             .Path(path)
                             .Text(" could not be read. The default settings apply."));
        return;
    }
    const FileContents running = Stamped();
    const bool current =
        version->major == running.majorVersion && version->minor == running.minorVersion;
    if (!current && !AskToReadOutOfDateFile()) {
        return;
    }
    if (const std::optional<FileContents> contents = ReadPreferencesFile(path, running)) {
        ApplySettings(*contents);
    }
}

bool AskToReadOutOfDateFile() {
    // Asked at start-up, before any window is active: over the main window.
    QMessageBox box(MainWindow::Existing());
    box.setIcon(QMessageBox::Warning);
    QPushButton* update = box.addButton(QStringLiteral("Update"), QMessageBox::AcceptRole);
    QPushButton* keep = box.addButton(QStringLiteral("Dont update"), QMessageBox::RejectRole);
    box.setDefaultButton(update);
    // Escape and the close box give the hidden cancel answer, which reads nothing.
    box.setEscapeButton(keep);
    box.setText(QStringLiteral("Update the prefernce file?"));
    box.setInformativeText(
        QStringLiteral("The current prefernce file is out of date, would you like to attempt to "
                       "read it in anyway?."));
    return platform::RunModal(box) == update;
}

}  // namespace Prefernces
