#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <filesystem>

#include "UiTestSupport.h"
#include "mainwindow/ui/MainWindow.h"
#include "platform/ui/NamedMenu.h"
#include "preferences/ui/PrefWin.h"

namespace {

class PreferencesTest : public uitest::UiTest {
protected:
    // File > Prefernces.
    PrefWin* OpenWindow() {
        MainWindow::Instance()->FilePrefernces()->Action()->trigger();
        return PrefWin::Existing();
    }

    // On its left end: a radio button answers clicks on its circle and caption only.
    void Click(QAbstractButton* button) {
        QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(4, button->height() / 2));
    }

    void ChooseFolderWithBrowse(PrefWin& window, const QString& folder) {
        platform::SetFolderHook([folder](const platform::FolderRequest&) { return folder; });
        Click(window.Controls().BtnBrowse);
    }

    void SaveAndClose(PrefWin& window) {
        Click(window.Controls().BevelButton1);
        uitest::ProcessEvents();
    }
};

// A value a group does not list leaves the group as the fixed-size window creates it; saved,
// that is what the file gets, and 3 stays true extraction. Folder bytes that are not UTF-8 are
// saved as they came.
TEST_F(PreferencesTest, ControlsShowTheSettingsAndSaveThemBack) {
    const std::string odd = "/srv/\xE9t\xE9";
    const std::vector<std::pair<Prefernces::FileContents, QStringList>> cases = {
        {{0, 0, 2, 2, 2, 2, true, "/srv/maps"},
         {"RbExtracting", "RbConstant", "RbTree", "RbComDat", "RbTagYes"}},
        {{0, 0, 0, 9, 3, -1, false, odd},
         {"RbStartup", "RbFloating", "RbTrue", "RbHardcode", "RbTagNo"}},
    };
    for (const auto& [settings, checked] : cases) {
        uitest::CloseAllWindows();
        Prefernces::ApplySettings(settings);
        PrefWin* window = OpenWindow();
        for (QRadioButton* button : window->findChildren<QRadioButton*>()) {
            EXPECT_EQ(button->isChecked(), checked.contains(button->objectName()))
                << button->objectName().toStdString();
        }
        EXPECT_EQ(window->Controls().FldMapFolder->Path(), settings.mapFolder);
    }
    PrefWin* window = PrefWin::Existing();
    EXPECT_EQ(window->minimumSize(), window->maximumSize());
    uitest::ExpectDesign(
        *window, {{"RbTree", "QRadioButton", "GroupBox1", {169, 159, 126, 20}, "Tree extraction"}});
    // The folder changes through Browse only, and true extraction cannot be chosen.
    EXPECT_FALSE(window->Controls().FldMapFolder->isEnabled());
    EXPECT_FALSE(window->Controls().RbTrue->isEnabled());
    SaveAndClose(*window);
    EXPECT_EQ(PrefsFile(), PrefsBytes({kMajor, kMinor, 1, 1, 3, 1, false, odd}));
}

TEST_F(PreferencesTest, SaveTakesTheChoicesWritesTheFileAndCloses) {
    PrefWin* window = OpenWindow();
    const PrefWinControls& c = window->Controls();
    for (QRadioButton* button : {c.RbExtracting, c.RbConstant, c.RbTree, c.RbComDat, c.RbTagYes}) {
        Click(button);
    }
    ChooseFolderWithBrowse(*window, "/srv/maps");
    EXPECT_EQ(c.FldMapFolder->text(), "/srv/maps");
    SaveAndClose(*window);

    EXPECT_EQ(PrefWin::Existing(), nullptr);
    EXPECT_EQ(PrefsFile(), PrefsBytes({kMajor, kMinor, 2, 2, 2, 2, true, "/srv/maps"}));
    EXPECT_EQ(PrefsBytes(Prefernces::CurrentSettings(kMajor, kMinor)), PrefsFile());
    EXPECT_TRUE(shown.empty());
}

TEST_F(PreferencesTest, CloseBoxAndCancelledBrowseDiscardTheChoices) {
    PrefWin* window = OpenWindow();
    ChooseFolderWithBrowse(*window, "/srv/maps");
    ChooseFolderWithBrowse(*window, "");
    EXPECT_EQ(window->Controls().FldMapFolder->text(), "/srv/maps");
    Click(window->Controls().RbExtracting);
    // Opened again while open, the window comes forward as it is, not reloaded.
    EXPECT_EQ(OpenWindow(), window);
    EXPECT_TRUE(window->Controls().RbExtracting->isChecked());
    window->close();
    uitest::ProcessEvents();

    EXPECT_EQ(Prefernces::ScriptCommand, 1);
    EXPECT_EQ(Prefernces::MapFolder, "");
    EXPECT_FALSE(std::filesystem::exists(PrefsPath()));
}

// A failed save says why and leaves the window open. A folder longer than the file holds (255
// bytes) is refused before any choice is taken; a file that cannot be written keeps the choices
// until the program ends.
TEST_F(PreferencesTest, AFailedSaveIsReportedAndTheWindowStaysOpen) {
    std::filesystem::create_directory(PrefsPath());
    PrefWin* window = OpenWindow();
    Click(window->Controls().RbExtracting);
    window->Controls().FldMapFolder->SetPath("/" + std::string(255, 'm'));
    SaveAndClose(*window);
    ASSERT_EQ(PrefWin::Existing(), window);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_TRUE(shown[0].text.startsWith("The map folder path is 256 bytes long"))
        << shown[0].text.toStdString();
    EXPECT_EQ(Prefernces::ScriptCommand, 1);

    window->Controls().FldMapFolder->SetPath("/srv/maps");
    SaveAndClose(*window);
    EXPECT_EQ(PrefWin::Existing(), window);
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[1].text.toStdString(),
              "The preferences could not be saved to " + PrefsPath() +
                  ": Is a directory. The settings apply until the program ends.");
    EXPECT_EQ(Prefernces::ScriptCommand, 2);
}

}  // namespace
