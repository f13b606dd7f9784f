#include <QAction>
#include <QMenu>
#include <QTimer>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include "TempDir.h"
#include "UiTestSupport.h"
#include "extraction/ui/Extract.h"
#include "mainwindow/ui/App.h"
#include "mainwindow/ui/MainWindow.h"
#include "platform/ui/NamedMenu.h"
#include "preferences/ui/PrefWin.h"

namespace {

class StartUpTest : public uitest::UiTest {
protected:
    // Start-up as the process runs it, up to the first turn of the event loop.
    void StartApplication() {
        App::Instance()->Start();
        uitest::ProcessEvents();
    }

    // The settings as a file of this version would hold them.
    static std::vector<uint8_t> Settings() {
        return PrefsBytes(Prefernces::CurrentSettings(kMajor, kMinor));
    }
    const std::vector<uint8_t> defaults = PrefsBytes({kMajor, kMinor, 1, 1, 1, 1, false, ""});
};

// The file goes into the application's folder under the configuration home.
TEST_F(StartUpTest, FirstRunWritesTheDefaultsAndLeavesThePreferencesWindowOpen) {
    StartApplication();

    const std::string config = qEnvironmentVariable("XDG_CONFIG_HOME").toStdString();
    EXPECT_EQ(uitest::ReadFileBytes(config + "/Morvane/Prefences.pref"), defaults);
    ASSERT_NE(MainWindow::Existing(), nullptr);
    EXPECT_TRUE(MainWindow::Existing()->isVisible());
    ASSERT_NE(PrefWin::Existing(), nullptr);
    EXPECT_TRUE(PrefWin::Existing()->isVisible());
    EXPECT_TRUE(shown.empty());
}

// A file of this version is read without a question, its values unchecked; one of another
// version, or too short for its version words, only on "Update" (not on Escape). The file is
// never rewritten, so the question comes again at the next start.
TEST_F(StartUpTest, FileOfAnotherVersionIsReadOnlyWhenTheUserAgrees) {
    const auto file = [](int32_t major, int32_t minor) {
        return PrefsBytes({major, minor, 0, 7, 3, -1, true, "/srv/maps"});
    };
    struct Case {
        std::vector<uint8_t> file;
        QString answer;
        bool asked;
        bool read;
    };
    const std::vector<Case> cases = {
        {file(kMajor, kMinor), "", false, true},
        {file(kMajor + 1, kMinor), "Update", true, true},
        {file(kMajor, kMinor + 1), "Update", true, true},
        {file(kMajor, kMinor + 1), "Dont update", true, false},
        {file(kMajor - 1, kMinor), "Dont update", true, false},
        {file(kMajor, kMinor + 1), "", true, false},
        {{0, 0, 0}, "Update", true, false},
    };
    for (size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(i);
        uitest::CloseAllWindows();
        Prefernces::ResetToDefaults();
        shown.clear();
        answer = cases[i].answer;
        std::ofstream(PrefsPath(), std::ios::binary)
            .write(reinterpret_cast<const char*>(cases[i].file.data()),
                   static_cast<std::streamsize>(cases[i].file.size()));

        StartApplication();

        ASSERT_EQ(shown.size(), cases[i].asked ? 1u : 0u);
        for (const uitest::ShownBox& box : shown) {
            EXPECT_EQ(box.text, "Update the prefernce file?");
        }
        EXPECT_EQ(Settings(), cases[i].read ? file(kMajor, kMinor) : defaults);
        EXPECT_EQ(MainWindow::Existing()->MapFolder, Prefernces::MapFolder);
        EXPECT_EQ(PrefsFile(), cases[i].file);
        EXPECT_EQ(PrefWin::Existing(), nullptr);
    }
}

// A folder or a pipe in the file's place: start-up neither waits for the pipe's writer nor
// writes the file anew.
TEST_F(StartUpTest, NoRegularFileIsReportedAndTheDefaultsApply) {
    const std::string path = PrefsPath();
    const std::vector<std::function<bool()>> places = {
        [&] { return ::mkfifo(path.c_str(), 0644) == 0; },
        [&] { return std::filesystem::create_directory(path); },
    };
    for (const std::function<bool()>& place : places) {
        uitest::CloseAllWindows();
        std::filesystem::remove_all(path);
        ASSERT_TRUE(place());
        Prefernces::ResetToDefaults();
        shown.clear();
        EXPECT_TRUE(testmap::ReturnsWithoutWaitingOn(path, [&] { StartApplication(); }));
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_EQ(shown[0].text.toStdString(),
                  "The preferences file " + path +
                      " is not a regular file, so the default settings apply.");
        EXPECT_EQ(Settings(), defaults);
        EXPECT_FALSE(std::filesystem::is_regular_file(path));
    }
}

// Every window goes with the application, also when its menus and controls, some of them
// top-level widgets too, went with another window before it.
TEST_F(StartUpTest, EndingWithWindowsAndMenusOpenDeletesEveryWindow) {
    // The widgets come in no fixed order: a window may come before the menus it takes along.
    for (int round = 0; round < 8; ++round) {
        StartApplication();
        MainWindow* main = MainWindow::Existing();
        main->AboutMenu()->Action()->trigger();
        for (int i = 0; i < 3; ++i) {
            (new Extract())->Show();
        }
        QMenu* file = main->FileMenu()->Menu();
        ASSERT_NE(file, nullptr);
        file->popup(main->mapToGlobal(QPoint(0, 0)));
        ASSERT_TRUE(file->isVisible());

        App::DeleteWindows();
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            EXPECT_EQ(qobject_cast<platform::DesignWindow*>(widget), nullptr)
                << widget->objectName().toStdString();
        }
        EXPECT_EQ(MainWindow::Existing(), nullptr);
    }
}

// Quit ends the program at once: it asks nothing and saves no setting.
TEST_F(StartUpTest, QuittingAsksNothingAndSavesNothing) {
    StartApplication();
    Prefernces::ScriptCommand = 2;

    QTimer::singleShot(0, [] { MainWindow::Existing()->FileQuit()->Action()->trigger(); });
    QTimer watchdog;
    watchdog.callOnTimeout([] { QCoreApplication::exit(2); });
    watchdog.start(10000);
    EXPECT_EQ(QCoreApplication::exec(), 0);

    EXPECT_TRUE(shown.empty());
    EXPECT_EQ(PrefsFile(), defaults);
}

}  // namespace
