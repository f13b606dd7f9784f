// The main window closed by code while one of its jobs, or the Extract Range window's
// extraction, lets the event loop run.
#include <QComboBox>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <functional>
#include <string>

#include "RecordMap.h"
#include "UiTestSupport.h"
#include "extraction/CommandDatabase.h"
#include "extraction/Extraction.h"
#include "extraction/ui/Extract.h"
#include "extraction/ui/WinRange.h"
#include "mainwindow/RecordPages.h"
#include "mainwindow/ui/MainWindow.h"
#include "mapfile/MapReader.h"

namespace {

using uitest::OutputWindows;

// How often the test's yield runs the event loop: as often as the application's own yield at
// its busiest, so that every job below lets the event loop run many times.
constexpr int kYieldsPerTurn = 256;

// What the event loop did during a job.
struct Turns {
    int yields = 0;
    int turns = 0;
    bool closeAsked = false;
    int turnsAfterClose = 0;
};
Turns turns;

// The application's yield, made certain: every so many yield points the event loop runs, and
// the windows closed there are destroyed at once, as the event loop would destroy them soon
// after.
void TurnTheEventLoop() {
    if (++turns.yields % kYieldsPerTurn != 0) {
        return;
    }
    ++turns.turns;
    turns.turnsAfterClose += turns.closeAsked ? 1 : 0;
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// The script page's field, as text.
class TextOf : public TextField {
public:
    void SetText(const std::string& whole) override { text = whole; }
    void AppendText(const std::string& piece) override { text += piece; }
    std::string text;
};

class WindowJobTest : public uitest::MapWindowTest {
protected:
    void SetUp() override {
        uitest::MapWindowTest::SetUp();
        static const testmap::BuiltMap largest = testmap::Build(testmap::MaximalMap());
        path = TempPath("large.map");
        ASSERT_TRUE(largest.Save(path));
        ASSERT_EQ(OpenMap(loaded, path).result, LoadResult::Loaded);
        turns = {};
    }
    void TearDown() override {
        platform::SetYieldHook(nullptr);
        uitest::MapWindowTest::TearDown();
    }

    // Runs `job` with the main window closed, as the window system closes it, by a timer that
    // fires at the job's first turn of the event loop.
    void CloseDuring(const std::function<void()>& job) {
        closeTaken = true;
        QTimer::singleShot(0, window, [this] {
            closeTaken = window->windowHandle()->close();
            turns.closeAsked = true;
        });
        platform::SetYieldHook(TurnTheEventLoop);
        job();
        platform::SetYieldHook(nullptr);
    }

    // The application's own event loop ends once the main window and `others` have closed.
    void ExpectTheApplicationEnds(const QPointer<MainWindow>& closed,
                                  const std::vector<QPointer<platform::DesignWindow>>& others) {
        QTimer::singleShot(0, [&others] {
            for (const QPointer<platform::DesignWindow>& other : others) {
                ASSERT_NE(other, nullptr);
                other->windowHandle()->close();
            }
        });
        QTimer::singleShot(30000, [] { QCoreApplication::exit(1); });
        EXPECT_EQ(QCoreApplication::exec(), 0);
        EXPECT_EQ(closed, nullptr);
        EXPECT_EQ(MainWindow::Existing(), nullptr);
    }

    // The job went on through several turns of the event loop after the close, which waited.
    void ExpectTheCloseWaited(const QPointer<MainWindow>& closed) {
        EXPECT_TRUE(turns.closeAsked);
        EXPECT_FALSE(closeTaken);
        EXPECT_GE(turns.turnsAfterClose, 2);
        // Closed once the job is over, and destroyed by the event loop.
        ASSERT_NE(closed, nullptr);
        EXPECT_FALSE(closed->IsOpen());
        EXPECT_FALSE(closed->isVisible());
    }

    MapState loaded;  // the map as the core reads it
    bool closeTaken = false;
};

TEST_F(WindowJobTest, OpeningAMap) {
    const QPointer<MainWindow> closed = window;
    CloseDuring([&] { uitest::OpenThroughTheMenu(*window, path); });
    ExpectTheCloseWaited(closed);
    EXPECT_EQ(closed->State().f, path);
    EXPECT_EQ(closed->State().SyntaxCache.size(), loaded.SyntaxCache.size());
    EXPECT_EQ(C().Lb_Select->topLevelItemCount(), 2);
    ExpectTheApplicationEnds(closed, {});
}

TEST_F(WindowJobTest, ExpandingAFolderRow) {
    uitest::OpenThroughTheMenu(*window, path);
    QTreeWidgetItem* scripts = Row({"scripts"});
    ASSERT_NE(scripts, nullptr);
    const QPointer<MainWindow> closed = window;
    CloseDuring([&] { scripts->setExpanded(true); });
    ExpectTheCloseWaited(closed);
    EXPECT_EQ(scripts->childCount(), static_cast<int>(loaded.ScriptHeaderCache.size()));
    ExpectTheApplicationEnds(closed, {});
}

TEST_F(WindowJobTest, ShowingAScript) {
    uitest::OpenThroughTheMenu(*window, path);
    const std::string name = loaded.ScriptHeaderCache.front().Name;
    QTreeWidgetItem* row = Row({"scripts", ("s: " + name).c_str()});
    ASSERT_NE(row, nullptr);
    TextOf expected;
    ShowScript(loaded, name);
    PrintShownScript(loaded, expected);
    const QPointer<MainWindow> closed = window;
    CloseDuring([&] { C().Lb_Select->setCurrentItem(row); });
    ExpectTheCloseWaited(closed);
    EXPECT_EQ(platform::ToBytes(closed->Controls().FldScriptDeComp->toPlainText()), expected.text);
    ExpectTheApplicationEnds(closed, {});
}

TEST_F(WindowJobTest, ProtectingTheMap) {
    uitest::OpenThroughTheMenu(*window, path);
    const QPointer<MainWindow> closed = window;
    CloseDuring([&] { window->ScriptToolsProtectMap()->Action()->trigger(); });
    ExpectTheCloseWaited(closed);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_TRUE(shown[0].text.startsWith("Map is now protected from basic script extraction!"));
    MapState protectedMap;
    ASSERT_EQ(OpenMap(protectedMap, path).result, LoadResult::Loaded);
    for (size_t i = 0; i < loaded.SyntaxCache.size(); ++i) {
        if (loaded.SyntaxCache[i].ExpType == 9 && !loaded.SyntaxCache[i].Command.empty()) {
            ASSERT_EQ(protectedMap.SyntaxCache[i].Command, std::string(1, '\0')) << i;
        }
    }
    ExpectTheApplicationEnds(closed, {});
}

// The output window the listing fills, closed by code as well, closes once it is filled and
// shown.
TEST_F(WindowJobTest, ListingTheCommandDatabase) {
    uitest::OpenThroughTheMenu(*window, path);
    const QPointer<MainWindow> closed = window;
    QPointer<Extract> output;
    bool outputCloseTaken = true;
    QTimer::singleShot(0, [&] {
        ASSERT_EQ(OutputWindows().size(), 1u);
        output = OutputWindows().front();
        outputCloseTaken = output->close();
    });
    CloseDuring([&] { window->ScriptToolsdatabase()->Action()->trigger(); });
    ExpectTheCloseWaited(closed);
    EXPECT_FALSE(outputCloseTaken);
    ASSERT_NE(output, nullptr);
    EXPECT_EQ(output->ScriptsSaved, BuildCommandDatabase(loaded.SyntaxCache).text);
    EXPECT_FALSE(output->IsOpen());
    EXPECT_EQ(shown.size(), 1u);
    ExpectTheApplicationEnds(closed, {});
}

// The main window, which the extraction does not use, closes at once; the range window closes
// with it once its extraction is over, and the extraction prints the map the main window held.
TEST_F(WindowJobTest, ExtractingARange) {
    uitest::OpenThroughTheMenu(*window, path);
    window->ExtractScriptRange()->Action()->trigger();
    const QPointer<WinRange> range = WinRange::Existing();
    ASSERT_NE(range, nullptr);
    const WinRangeControls& r = range->Controls();
    r.ScrStart->setCurrentIndex(0);
    emit r.ScrStart->activated(0);
    const int last = r.ScrEnd->count() - 1;
    r.ScrEnd->setCurrentIndex(last);
    const QPointer<MainWindow> closed = window;
    bool rangeOpenAtClose = false;
    QTimer::singleShot(0, [&] { rangeOpenAtClose = range != nullptr && range->IsOpen(); });
    CloseDuring([&] { r.ScrExtract->click(); });
    EXPECT_TRUE(closeTaken);
    EXPECT_EQ(closed, nullptr);
    EXPECT_TRUE(rangeOpenAtClose);
    EXPECT_GE(turns.turnsAfterClose, 2);
    ASSERT_NE(range, nullptr);
    EXPECT_FALSE(range->IsOpen());
    ASSERT_EQ(OutputWindows().size(), 1u);
    const QPointer<platform::DesignWindow> output = OutputWindows().front();
    EXPECT_EQ(OutputWindows().front()->ScriptsSaved, ExtractScriptRange(loaded, 0, last).text);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, "done");
    ExpectTheApplicationEnds(closed, {output});
}

// A refused commit's message lets the event loop run as well; the field then shows what the map
// holds.
TEST_F(WindowJobTest, ARefusedCommitWhoseMessageClosesTheWindow) {
    Load(uitest::RecordsMap());
    Select({"scripts", "s: wait"});
    MakeMapUnwritable();
    const QPointer<MainWindow> closed = window;
    closeTaken = true;
    platform::SetModalHook([&](QMessageBox& box) {
        closeTaken = window->windowHandle()->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return box.button(QMessageBox::Ok);
    });
    C().FldScriptExpPointer->setText("-2");
    QTest::keyClick(C().FldScriptExpPointer, Qt::Key_Return);
    EXPECT_FALSE(closeTaken);
    ASSERT_NE(closed, nullptr);
    EXPECT_EQ(closed->Controls().FldScriptExpPointer->text(), "-32763");
    EXPECT_FALSE(closed->IsOpen());
    ExpectTheApplicationEnds(closed, {});
}

}  // namespace
