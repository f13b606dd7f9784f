#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <filesystem>

#include "UiTestSupport.h"
#include "mainwindow/ui/MainWindow.h"
#include "platform/ui/NamedMenu.h"
#include "preferences/ui/PrefWin.h"
#include "preferences/ui/PreferncesMain.h"

using uitest::PrefsBytes;
using uitest::ReadFileBytes;

namespace {

constexpr int32_t kMajor = MORVANE_VERSION_MAJOR;
constexpr int32_t kMinor = MORVANE_VERSION_MINOR;

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
        platform::SetFolderHook(nullptr);
    }

    void SaveAndClose(PrefWin& window) {
        Click(window.Controls().BevelButton1);
        uitest::ProcessEvents();
    }
};

TEST_F(PreferencesTest, WindowAndControlsMatchTheDesign) {
    PrefWin* window = OpenWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->windowTitle(), "Prefences");
    EXPECT_EQ(window->size(), QSize(326, 400));
    EXPECT_EQ(window->minimumSize(), window->maximumSize());
    EXPECT_FALSE(window->windowFlags() & Qt::WindowMaximizeButtonHint);
    uitest::ExpectDesign(
        *window,
        {
            {"FldMapFolder", "QLineEdit", "content", {20, 324, 214, 22}, ""},
            {"BtnBrowse", "QPushButton", "content", {246, 324, 60, 22}, "Browse"},
            {"BevelButton1", "QPushButton", "content", {105, 358, 117, 22}, "Save prefences"},
            {"GroupBox1", "QGroupBox", "content", {20, 138, 286, 73}, "Decompile style"},
            {"RbTree", "QRadioButton", "GroupBox1", {169, 159, 126, 20}, "Tree extraction"},
            {"RbTrue", "QRadioButton", "GroupBox1", {31, 183, 126, 20}, "True extraction"},
            {"GroupBox2", "QGroupBox", "content", {20, 59, 286, 73}, "Script printing method"},
            {"RbConstant",
             "QRadioButton",
             "GroupBox2",
             {31, 104, 264, 20},
             "Constant output to editfield (slow, no cutoff)"},
            {"RbFloating",
             "QRadioButton",
             "GroupBox2",
             {31, 80, 264, 20},
             "Use floating string (fast, may cutoff)"},
            {"GroupBox3", "QGroupBox", "content", {20, 9, 286, 40}, "Script command text"},
            {"GroupBox4", "QGroupBox", "content", {20, 214, 286, 43}, "Engine Command source"},
            {"RbHardcode", "QRadioButton", "GroupBox4", {31, 231, 99, 20}, "Hardcoded"},
            {"RbComDat", "QRadioButton", "GroupBox4", {169, 231, 115, 20}, "ComDat.txt"},
            {"RbStartup", "QRadioButton", "GroupBox3", {31, 26, 99, 20}, "Read at startup"},
            {"RbExtracting", "QRadioButton", "GroupBox3", {169, 26, 115, 20}, "Read as extracting"},
            {"GroupBox5", "QGroupBox", "content", {20, 269, 286, 45}, "Tag script syntax?"},
            {"RbTagYes", "QRadioButton", "GroupBox5", {169, 286, 99, 20}, "yes"},
            {"RbTagNo", "QRadioButton", "GroupBox5", {31, 286, 115, 20}, "no"},
            {"RbOrder", "QRadioButton", "GroupBox1", {31, 159, 126, 20}, "Order extraction"},
        });
    EXPECT_FALSE(window->Controls().FldMapFolder->isEnabled());
    EXPECT_FALSE(window->Controls().RbTrue->isEnabled());
    EXPECT_EQ(window->Controls().FldMapFolder->alignment(), Qt::AlignCenter);
}

TEST_F(PreferencesTest, OpenEventSetsTheControlsFromTheSettings) {
    Prefernces::ScriptCommand = 2;
    Prefernces::ScriptPrinting = 2;
    Prefernces::DecompStyle = 2;
    Prefernces::EngineCommands = 2;
    Prefernces::SyntaxTag = true;
    Prefernces::MapFolder = "/srv/maps";
    const PrefWinControls& c = OpenWindow()->Controls();
    for (QRadioButton* on : {c.RbExtracting, c.RbConstant, c.RbTree, c.RbComDat, c.RbTagYes}) {
        EXPECT_TRUE(on->isChecked()) << on->objectName().toStdString();
    }
    for (QRadioButton* off :
         {c.RbStartup, c.RbFloating, c.RbOrder, c.RbTrue, c.RbHardcode, c.RbTagNo}) {
        EXPECT_FALSE(off->isChecked()) << off->objectName().toStdString();
    }
    EXPECT_EQ(c.FldMapFolder->text(), "/srv/maps");

    // An open window is brought forward as it is, not reloaded.
    c.RbStartup->setChecked(true);
    Prefernces::ScriptCommand = 2;
    EXPECT_TRUE(OpenWindow()->Controls().RbStartup->isChecked());
}

TEST_F(PreferencesTest, UnlistedValuesKeepTheCreationSelectionAndThreeSelectsTrueExtraction) {
    Prefernces::ScriptCommand = 0;
    Prefernces::ScriptPrinting = 9;
    Prefernces::DecompStyle = 3;
    Prefernces::EngineCommands = -1;
    PrefWin* window = OpenWindow();
    const PrefWinControls& c = window->Controls();
    EXPECT_TRUE(c.RbStartup->isChecked());
    EXPECT_TRUE(c.RbFloating->isChecked());
    EXPECT_TRUE(c.RbTrue->isChecked());
    EXPECT_TRUE(c.RbHardcode->isChecked());

    SaveAndClose(*window);
    EXPECT_EQ(ReadFileBytes(PrefsPath()), PrefsBytes(kMajor, kMinor, 1, 1, 3, 1, false, ""));
    EXPECT_EQ(Prefernces::ScriptCommand, 1);
    EXPECT_EQ(Prefernces::DecompStyle, 3);
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
    EXPECT_EQ(ReadFileBytes(PrefsPath()),
              PrefsBytes(kMajor, kMinor, 2, 2, 2, 2, true, "/srv/maps"));
    EXPECT_EQ(Prefernces::ScriptCommand, 2);
    EXPECT_EQ(Prefernces::ScriptPrinting, 2);
    EXPECT_EQ(Prefernces::DecompStyle, 2);
    EXPECT_EQ(Prefernces::EngineCommands, 2);
    EXPECT_TRUE(Prefernces::SyntaxTag);
    EXPECT_EQ(Prefernces::MapFolder, "/srv/maps");

    // Read back at the next start.
    Prefernces::ResetToDefaults();
    Prefernces::LoadPreferncesMain();
    EXPECT_EQ(Prefernces::DecompStyle, 2);
    EXPECT_EQ(Prefernces::MapFolder, "/srv/maps");
    EXPECT_TRUE(OpenWindow()->Controls().RbTagYes->isChecked());
    EXPECT_TRUE(shown.empty());
}

TEST_F(PreferencesTest, CloseBoxAndCancelledBrowseDiscardTheChoices) {
    PrefWin* window = OpenWindow();
    ChooseFolderWithBrowse(*window, "");
    EXPECT_EQ(window->Controls().FldMapFolder->text(), "");
    Click(window->Controls().RbExtracting);
    ChooseFolderWithBrowse(*window, "/srv/maps");
    window->close();
    uitest::ProcessEvents();

    EXPECT_EQ(Prefernces::ScriptCommand, 1);
    EXPECT_EQ(Prefernces::MapFolder, "");
    EXPECT_FALSE(std::filesystem::exists(PrefsPath()));
    const PrefWinControls& c = OpenWindow()->Controls();
    EXPECT_TRUE(c.RbStartup->isChecked());
    EXPECT_EQ(c.FldMapFolder->text(), "");
}

// The file holds a folder of 255 bytes at most: a longer one is refused before anything is
// taken or written, and the window stays open.
TEST_F(PreferencesTest, ALongerMapFolderThanTheFileHoldsIsRefused) {
    PrefWin* window = OpenWindow();
    window->Controls().FldMapFolder->SetPath("/" + std::string(255, 'm'));
    Click(window->Controls().RbExtracting);
    SaveAndClose(*window);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_TRUE(shown[0].text.startsWith("The map folder path is 256 bytes long"))
        << shown[0].text.toStdString();
    EXPECT_EQ(PrefWin::Existing(), window);
    EXPECT_FALSE(std::filesystem::exists(PrefsPath()));
    EXPECT_EQ(Prefernces::ScriptCommand, 1);
}

TEST_F(PreferencesTest, UnwritableFileIsReportedAndTheWindowStaysOpen) {
    std::filesystem::create_directory(PrefsPath());
    PrefWin* window = OpenWindow();
    Click(window->Controls().RbExtracting);
    SaveAndClose(*window);

    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text.toStdString(), "The preferences could not be saved to " + PrefsPath() +
                                               ". The settings apply until the program ends.");
    EXPECT_EQ(PrefWin::Existing(), window);
    EXPECT_EQ(Prefernces::ScriptCommand, 2);
}

TEST_F(PreferencesTest, FolderBytesSurviveTheWindowAsTheyCame) {
    // Not valid UTF-8: shown as best it can be, yet saved byte for byte.
    const std::string odd = "/srv/\xE9t\xE9";
    Prefernces::MapFolder = odd;
    PrefWin* window = OpenWindow();
    SaveAndClose(*window);
    EXPECT_EQ(ReadFileBytes(PrefsPath()), PrefsBytes(kMajor, kMinor, 1, 1, 1, 1, false, odd));
}

}  // namespace
