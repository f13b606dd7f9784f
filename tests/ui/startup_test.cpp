#include <QAction>
#include <QRadioButton>
#include <QTimer>

#include <filesystem>

#include "UiTestSupport.h"
#include "mainwindow/ui/App.h"
#include "mainwindow/ui/MainWindow.h"
#include "platform/ui/NamedMenu.h"
#include "preferences/ui/PrefWin.h"

using uitest::PrefsBytes;
using uitest::ReadFileBytes;

namespace {

constexpr int32_t kMajor = MORVANE_VERSION_MAJOR;
constexpr int32_t kMinor = MORVANE_VERSION_MINOR;

class StartUpTest : public uitest::UiTest {
protected:
    // Start-up as the process runs it, up to the first turn of the event loop.
    void StartApplication() {
        App::Instance()->Start();
        uitest::ProcessEvents();
    }

    static void ExpectSettings(int32_t scriptCommand, int32_t scriptPrinting, int32_t decompStyle,
                               int32_t engineCommands, bool syntaxTag,
                               const std::string& mapFolder) {
        EXPECT_EQ(Prefernces::ScriptCommand, scriptCommand);
        EXPECT_EQ(Prefernces::ScriptPrinting, scriptPrinting);
        EXPECT_EQ(Prefernces::DecompStyle, decompStyle);
        EXPECT_EQ(Prefernces::EngineCommands, engineCommands);
        EXPECT_EQ(Prefernces::SyntaxTag, syntaxTag);
        EXPECT_EQ(Prefernces::MapFolder, mapFolder);
    }
};

TEST_F(StartUpTest, FirstRunWritesTheDefaultsAndLeavesThePreferencesWindowOpen) {
    StartApplication();

    EXPECT_EQ(ReadFileBytes(PrefsPath()), PrefsBytes(kMajor, kMinor, 1, 1, 1, 1, false, ""));
    ASSERT_NE(MainWindow::Existing(), nullptr);
    EXPECT_TRUE(MainWindow::Existing()->isVisible());
    PrefWin* preferences = PrefWin::Existing();
    ASSERT_NE(preferences, nullptr);
    EXPECT_TRUE(preferences->isVisible());
    EXPECT_TRUE(preferences->Controls().RbStartup->isChecked());
    EXPECT_EQ(preferences->Controls().FldMapFolder->text(), "");
    EXPECT_FALSE(MainWindow::Existing()->ScriptToolsProtectMap()->Enabled());
    EXPECT_TRUE(shown.empty());
}

TEST_F(StartUpTest, ConfigurationFolderIsTheApplicationsUnderTheXdgHome) {
    const std::string folder = qEnvironmentVariable("XDG_CONFIG_HOME").toStdString() + "/Morvane";
    EXPECT_EQ(PrefsPath(), folder + "/Prefences.pref");
    EXPECT_TRUE(std::filesystem::is_directory(folder));
}

TEST_F(StartUpTest, CurrentFileIsReadWithoutAQuestionAndItsValuesStoredUnchecked) {
    const auto file = PrefsBytes(kMajor, kMinor, 0, 7, 3, -1, true, "/srv/maps");
    uitest::WriteBytes(PrefsPath(), file);

    StartApplication();

    ExpectSettings(0, 7, 3, -1, true, "/srv/maps");
    EXPECT_EQ(MainWindow::Existing()->MapFolder, "/srv/maps");
    EXPECT_EQ(PrefWin::Existing(), nullptr);
    EXPECT_TRUE(shown.empty());
    EXPECT_EQ(ReadFileBytes(PrefsPath()), file);
}

TEST_F(StartUpTest, FileOfAnotherVersionIsReadOnlyWhenTheUserAgrees) {
    struct Case {
        int32_t major;
        int32_t minor;
        QString answer;
        bool read;
    };
    for (const Case& c :
         {Case{kMajor + 1, kMinor, "Update", true}, Case{kMajor, kMinor + 1, "Update", true},
          Case{kMajor, kMinor + 1, "Dont update", false},
          Case{kMajor - 1, kMinor, "Dont update", false}, Case{kMajor, kMinor + 1, "", false}}) {
        SCOPED_TRACE(c.answer.toStdString() + " " + std::to_string(c.major) + "." +
                     std::to_string(c.minor));
        uitest::CloseAllWindows();
        Prefernces::ResetToDefaults();
        shown.clear();
        answer = c.answer;
        const auto file = PrefsBytes(c.major, c.minor, 2, 2, 3, 2, true, "/old");
        uitest::WriteBytes(PrefsPath(), file);

        StartApplication();

        ASSERT_EQ(shown.size(), 1u);
        EXPECT_EQ(shown[0].text, "Update the prefernce file?");
        EXPECT_EQ(shown[0].informative,
                  "The current prefernce file is out of date, would you like to attempt to read "
                  "it in anyway?.");
        EXPECT_EQ(shown[0].buttons, (QStringList{"Update", "Dont update"}));
        EXPECT_EQ(shown[0].icon, QMessageBox::Warning);
        if (c.read) {
            ExpectSettings(2, 2, 3, 2, true, "/old");
        } else {
            ExpectSettings(1, 1, 1, 1, false, "");
        }
        // Never rewritten: the question comes again at the next start.
        EXPECT_EQ(ReadFileBytes(PrefsPath()), file);
        EXPECT_EQ(PrefWin::Existing(), nullptr);
    }
}

// What a short file keeps is the file reader's matter (preferences_test.cpp). One too short
// for its version words is out of date, and has nothing to read even on "Update".
TEST_F(StartUpTest, AFileWithoutItsVersionWordsIsOutOfDate) {
    answer = "Update";
    uitest::WriteBytes(PrefsPath(), {0, 0, 0});
    StartApplication();
    EXPECT_EQ(shown.size(), 1u);
    ExpectSettings(1, 1, 1, 1, false, "");
}

TEST_F(StartUpTest, UnreadableFileIsReportedAndTheDefaultsApply) {
    std::filesystem::create_directory(PrefsPath());
    StartApplication();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_TRUE(shown[0].text.contains("could not be read")) << shown[0].text.toStdString();
    ExpectSettings(1, 1, 1, 1, false, "");
    ASSERT_NE(MainWindow::Existing(), nullptr);
}

TEST_F(StartUpTest, UnwritableFolderIsReportedOnTheFirstRun) {
    // A configuration home beneath a plain file can hold nothing.
    const std::string blocker = TempPath("plain");
    uitest::WriteBytes(blocker, {1});
    qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(blocker + "/config"));

    StartApplication();

    ASSERT_EQ(shown.size(), 1u);
    EXPECT_TRUE(shown[0].text.startsWith("The preferences could not be saved to "))
        << shown[0].text.toStdString();
    EXPECT_NE(PrefWin::Existing(), nullptr);
    ASSERT_NE(MainWindow::Existing(), nullptr);
}

TEST_F(StartUpTest, QuittingAsksNothingAndSavesNothing) {
    const auto file = PrefsBytes(kMajor, kMinor, 1, 2, 1, 1, false, "");
    uitest::WriteBytes(PrefsPath(), file);
    const auto written = std::filesystem::last_write_time(PrefsPath());
    StartApplication();
    // A changed choice in an open preferences window is not saved by quitting either.
    MainWindow::Existing()->FilePrefernces()->Action()->trigger();
    PrefWin::Existing()->Controls().RbExtracting->setChecked(true);

    QTimer::singleShot(0, [] { MainWindow::Existing()->FileQuit()->Action()->trigger(); });
    QTimer watchdog;
    watchdog.callOnTimeout([] { QCoreApplication::exit(2); });
    watchdog.start(10000);
    EXPECT_EQ(QCoreApplication::exec(), 0);

    EXPECT_TRUE(shown.empty());
    EXPECT_EQ(ReadFileBytes(PrefsPath()), file);
    EXPECT_EQ(std::filesystem::last_write_time(PrefsPath()), written);
    EXPECT_EQ(Prefernces::ScriptCommand, 1);
}

}  // namespace
