// The output window, its menu bar, and Extract All and the command database run from the main
// menu.
#include <QPlainTextEdit>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <atomic>
#include <set>
#include <thread>

#include "RecordMap.h"
#include "UiTestSupport.h"
#include "extraction/CommandDatabase.h"
#include "extraction/Extraction.h"
#include "extraction/ui/Extract.h"
#include "extraction/ui/MenuBar2.h"
#include "extraction/ui/ThreadExtractAll.h"
#include "extraction/ui/WinRange.h"
#include "mainwindow/ui/MainWindow.h"

namespace {

using uitest::OutputWindows;
using uitest::ProcessEvents;

void WaitForRuns() {
    EXPECT_TRUE(QTest::qWaitFor(
        [] {
            ProcessEvents();
            return ThreadExtractAll::Running() == 0;
        },
        60000));
    ProcessEvents();
}

// While set, Extract All's threads wait at their yield points; the main thread passes.
std::atomic<bool> holdRuns{false};
const std::thread::id kMainThread = std::this_thread::get_id();

void HoldRuns() {
    while (holdRuns.load() && std::this_thread::get_id() != kMainThread) {
        std::this_thread::yield();
    }
}

class ExtractWindowTest : public uitest::MapWindowTest {
protected:
    void TearDown() override {
        holdRuns = false;
        WaitForRuns();
        platform::SetSaveFileHook(nullptr);
        uitest::MapWindowTest::TearDown();
    }

    // File > Save chosen in `target`, the dialog answered with `file` (empty: Cancel).
    void Save(Extract& target, const std::string& file) {
        platform::SetSaveFileHook(
            [file](const platform::SaveFileRequest&) { return platform::PathFromBytes(file); });
        target.Show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&target));
        target.Filesave()->Action()->trigger();
    }
};

// One shared menu bar with Save on Ctrl+S and the Edit commands; the field follows the window's
// size.
TEST_F(ExtractWindowTest, SharedMenuBarAndAFieldThatFillsTheWindow) {
    auto* first = new Extract();
    EXPECT_EQ(first->MenuBar(), &MenuBar2::Instance());
    EXPECT_EQ(first->Filesave()->Action()->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_S));
    first->AppendText("abc");
    first->Show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(first));
    first->FldExtract->setFocus();
    first->EditSelectAll()->Action()->trigger();
    EXPECT_EQ(first->FldExtract->textCursor().selectedText(), "abc");

    EXPECT_EQ(first->FldExtract->geometry(), QRect(1, 0, 392, 729));
    first->Content()->resize(900, 1200);
    EXPECT_EQ(first->FldExtract->geometry(), QRect(1, 0, 899, 1200));
}

TEST_F(ExtractWindowTest, SaveWritesTheProducersTextExactly) {
    auto* first = new Extract();
    auto* second = new Extract();
    // Map bytes of every kind, no line end at the end.
    first->ScriptsSaved = std::string("(global short \xE9\x01\r\n x 5)\x00z", 23);
    second->ScriptsSaved = "second";
    // The user's edits stay in the field.
    first->FldExtract->setPlainText("edited");

    const std::string out = TempPath("out.txt");
    Save(*first, out);
    EXPECT_EQ(testmap::ReadFileText(out), first->ScriptsSaved);
    Save(*second, out);
    EXPECT_EQ(testmap::ReadFileText(out), "second");

    // Cancel writes nothing; a file whose folder does not exist cannot be made, and says so once,
    // naming the folder as the file system does (UTF-8 here).
    Save(*first, "");
    EXPECT_EQ(testmap::ReadFileText(out), "second");
    Save(*first, TempPath("missing_\xC3\xA9/out.txt"));
    ASSERT_EQ(shown.size(), 1u);
    const std::string text = shown[0].text.toStdString();
    EXPECT_TRUE(text.starts_with("The text could not be saved to " +
                                 TempPath("missing_\xC3\xA9/out.txt") + ": "))
        << text;
    EXPECT_TRUE(shown[0].text.contains(u"missing_\u00E9/out.txt")) << text;
}

TEST_F(ExtractWindowTest, ExtractAllPrintsTheMapIntoANewWindowInOrder) {
    Load(uitest::RecordsMap());
    const std::string expected = ExtractAll(window->State()).text;
    // While the closing message is up the window waits, hidden and empty.
    bool waitingAtMessage = false;
    platform::SetModalHook([&waitingAtMessage, this](QMessageBox& box) {
        shown.push_back({box.text(), {}, {}, box.icon()});
        const std::vector<Extract*> outputs = OutputWindows();
        waitingAtMessage = outputs.size() == 1 && outputs.front()->isHidden() &&
                           outputs.front()->FldExtract->toPlainText().isEmpty();
        return box.button(QMessageBox::Ok);
    });
    window->Extractall()->Action()->trigger();
    // The window is there before anything is printed.
    ASSERT_EQ(OutputWindows().size(), 1u);
    WaitForRuns();

    ASSERT_EQ(shown.size(), 1u);
    EXPECT_TRUE(shown[0].text.startsWith("The extraction is done.\n4 globals were extracted, 7 "));
    EXPECT_TRUE(waitingAtMessage);
    Extract* output = OutputWindows().front();
    EXPECT_TRUE(output->isVisible());
    EXPECT_EQ(platform::ToBytes(output->FldExtract->toPlainText()), expected);
    EXPECT_EQ(output->ScriptsSaved, expected);
}

// Each run prints the map it started with, though the map is reloaded and edited and the main
// window closes before the runs end.
TEST_F(ExtractWindowTest, RunsGoOnOverTheMapTheyStartedWithAndOutliveTheMainWindow) {
    Load(uitest::RecordsMap());
    const std::string firstText = ExtractAll(window->State()).text;
    holdRuns = true;
    platform::SetYieldHook(HoldRuns);
    window->Extractall()->Action()->trigger();
    Load(uitest::SmallMap(), "second.map");
    window->State().GlobalHeaderCache.front().Name = "changed";
    const std::string secondText = ExtractAll(window->State()).text;
    window->Extractall()->Action()->trigger();
    window->close();
    ProcessEvents();
    holdRuns = false;
    WaitForRuns();

    std::multiset<std::string> texts;
    for (Extract* output : OutputWindows()) {
        EXPECT_TRUE(output->isVisible());
        texts.insert(output->ScriptsSaved);
    }
    EXPECT_EQ(texts, (std::multiset<std::string>{firstText, secondText}));
    EXPECT_EQ(shown.size(), 2u);
}

// The main window closed as the window system closes it, in the application's own event loop:
// the Extract Range window goes with it, a run under way ends in its window, which stays
// usable, and the application ends when that last window closes.
TEST_F(ExtractWindowTest, TheApplicationEndsWithItsLastWindowNotWithTheMainWindow) {
    Load(uitest::RecordsMap());
    const std::string expected = ExtractAll(window->State()).text;
    window->ExtractScriptRange()->Action()->trigger();
    const QPointer<WinRange> range = WinRange::Existing();
    ASSERT_NE(range, nullptr);
    holdRuns = true;
    platform::SetYieldHook(HoldRuns);
    window->Extractall()->Action()->trigger();

    bool rangeClosedWithMain = false;
    bool savedAfterMainClosed = false;
    bool lastWindowClosed = false;
    QTimer::singleShot(0, [&] {
        window->windowHandle()->close();
        ProcessEvents();
        rangeClosedWithMain = range.isNull() && MainWindow::Existing() == nullptr;
        holdRuns = false;
    });
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        const std::vector<Extract*> outputs = OutputWindows();
        if (outputs.size() != 1 || !outputs.front()->isVisible() || savedAfterMainClosed) {
            return;
        }
        const std::string out = TempPath("after.txt");
        Save(*outputs.front(), out);
        savedAfterMainClosed = testmap::ReadFileText(out) == expected;
        lastWindowClosed = true;
        outputs.front()->windowHandle()->close();
    });
    poll.start(10);
    QTimer::singleShot(30000, [] { QCoreApplication::exit(1); });
    EXPECT_EQ(QCoreApplication::exec(), 0);

    EXPECT_TRUE(rangeClosedWithMain);
    EXPECT_TRUE(savedAfterMainClosed);
    EXPECT_TRUE(lastWindowClosed);
    EXPECT_EQ(shown.size(), 1u);
    EXPECT_EQ(MainWindow::Existing(), nullptr);
}

TEST_F(ExtractWindowTest, StoppingARunLeavesNoWindowAndNoMessage) {
    Load(testmap::MaximalMap());
    for (int i = 0; i < 3; ++i) {
        window->Extractall()->Action()->trigger();
    }
    ThreadExtractAll::StopAll();
    ProcessEvents();
    EXPECT_EQ(ThreadExtractAll::Running(), 0);
    EXPECT_TRUE(OutputWindows().empty());
    EXPECT_TRUE(shown.empty());
}

TEST_F(ExtractWindowTest, DatabaseListsTheOpenMapsCommandsInATitledWindow) {
    Load(uitest::RecordsMap());
    window->ScriptToolsdatabase()->Action()->trigger();
    ASSERT_EQ(OutputWindows().size(), 1u);
    const Extract* output = OutputWindows().front();
    EXPECT_EQ(output->windowTitle(), "Map Script command DataBase");
    EXPECT_TRUE(output->isVisible());
    EXPECT_EQ(output->ScriptsSaved, BuildCommandDatabase(window->State().SyntaxCache).text);
    EXPECT_EQ(platform::ToBytes(output->FldExtract->toPlainText()), output->ScriptsSaved);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_TRUE(shown[0].text.startsWith("11 proccessed, and 2 were added. This took "));
}

}  // namespace
