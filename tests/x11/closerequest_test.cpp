// The window system's close request (a close box click) while a job lets the event loop run:
// the window closes when the job is over, after its closing message, and the application ends.
// Other input that comes meanwhile is dropped.
#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <QPointer>
#include <QPushButton>
#include <QThread>

#include <functional>

#include <unistd.h>

#include "X11Support.h"
#include "extraction/ui/WinRange.h"
#include "mainwindow/ui/MainWindow.h"
#include "mapfile/MapReader.h"

namespace {

// Well inside every job below.
constexpr int kCloseAt = 2000;

class CloseRequestTest : public x11test::LargeMapTest {
protected:
    // Runs `job` with the close request sent to the main window at a yield point. The server
    // has passed the request on when the point is left; the pause lets Qt read it off the
    // connection before the job's next turn of the event loop.
    void CloseDuring(const std::function<void()>& job, const std::function<void()>& also = {}) {
        x11test::YieldPoint::At(kCloseAt, [this, also] {
            manager.AskToClose(*window);
            if (also) {
                also();
            }
            QThread::msleep(50);
        });
        job();
        EXPECT_TRUE(x11test::YieldPoint::Passed());
    }

    // The main window has closed, and the application ends once the output windows still open
    // are asked to close as well.
    void ExpectTheApplicationEnds(const QPointer<MainWindow>& closed) {
        ASSERT_TRUE(closed == nullptr || !closed->IsOpen());
        EXPECT_TRUE(RunUntilTheApplicationEnds([this] {
            for (Extract* output : uitest::OutputWindows()) {
                manager.AskToClose(*output);
            }
        }));
        EXPECT_EQ(closed, nullptr);
        EXPECT_EQ(MainWindow::Existing(), nullptr);
        EXPECT_TRUE(uitest::OutputWindows().empty());
    }

    // Extracts every script or global through the Extract Range window.
    void ExtractRange(int page) {
        window->ExtractScriptRange()->Action()->trigger();
        const QPointer<WinRange> range = WinRange::Existing();
        ASSERT_NE(range, nullptr);
        const WinRangeControls& r = range->Controls();
        range->Controls().BgkRnd->SetValue(page);
        QComboBox* start = page == 1 ? r.ScrStart : r.GlbStart;
        QComboBox* end = page == 1 ? r.ScrEnd : r.GlbEnd;
        start->setCurrentIndex(0);
        emit start->activated(0);
        end->setCurrentIndex(end->count() - 1);
        const QPointer<MainWindow> closed = window;
        CloseDuring([&] { (page == 1 ? r.ScrExtract : r.GlbExtract)->click(); });
        ASSERT_EQ(boxes.texts, QStringList{"done"});
        EXPECT_TRUE(range == nullptr || !range->IsOpen());
        ASSERT_EQ(uitest::OutputWindows().size(), 1u);
        ExpectTheApplicationEnds(closed);
    }
};

TEST_F(CloseRequestTest, DuringProtectMap) {
    const QPointer<MainWindow> closed = window;
    CloseDuring([&] { window->ScriptToolsProtectMap()->Action()->trigger(); });
    ASSERT_EQ(boxes.texts.size(), 1);
    EXPECT_TRUE(boxes.texts[0].startsWith("Map is now protected from basic script extraction!"));
    ExpectTheApplicationEnds(closed);
}

// A run stopped by a change on disk, made at the same point, ends in its own message.
TEST_F(CloseRequestTest, DuringAProtectMapThatFails) {
    const QPointer<MainWindow> closed = window;
    CloseDuring([&] { window->ScriptToolsProtectMap()->Action()->trigger(); },
                [this] { ASSERT_EQ(truncate(path.c_str(), 100), 0); });
    ASSERT_EQ(boxes.texts.size(), 1);
    EXPECT_TRUE(boxes.texts[0].startsWith("The map file was changed on disk while it was being "
                                          "protected"));
    ExpectTheApplicationEnds(closed);
}

// The request comes while the job's closing message is shown, which holds the window back.
TEST_F(CloseRequestTest, WhileTheJobsMessageIsShown) {
    const QPointer<MainWindow> closed = window;
    boxes.whenShown = [this] { manager.AskToClose(*window); };
    window->ScriptToolsdatabase()->Action()->trigger();
    ASSERT_EQ(boxes.texts.size(), 1);
    ExpectTheApplicationEnds(closed);
}

TEST_F(CloseRequestTest, DuringTheCommandDatabase) {
    const QPointer<MainWindow> closed = window;
    CloseDuring([&] { window->ScriptToolsdatabase()->Action()->trigger(); });
    ASSERT_EQ(boxes.texts.size(), 1);
    ASSERT_EQ(uitest::OutputWindows().size(), 1u);
    ExpectTheApplicationEnds(closed);
}

// The main window closes at once; the Extract Range window, whose job it is, closes after it.
TEST_F(CloseRequestTest, DuringAScriptRange) {
    ExtractRange(1);
}

TEST_F(CloseRequestTest, DuringAGlobalRange) {
    ExtractRange(2);
}

// Return in a name field whose text was changed would rename the script: typed while the map is
// protected, it renames nothing, then or afterwards.
TEST_F(CloseRequestTest, KeysTypedDuringAJobStartNoWork) {
    MapState loaded;
    ASSERT_EQ(OpenMap(loaded, path).result, LoadResult::Loaded);
    const std::string name = loaded.ScriptHeaderCache.front().Name;
    Select({"scripts", ("s: " + name).c_str()});
    C().FldScriptName->setText("renamed");
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    C().FldScriptName->setFocus();
    x11test::YieldPoint::At(kCloseAt, [this] {
        manager.TypeKey(x11test::kReturnKey);
        QThread::msleep(50);
    });
    window->ScriptToolsProtectMap()->Action()->trigger();
    ASSERT_TRUE(x11test::YieldPoint::Passed());
    ASSERT_EQ(boxes.texts.size(), 1);
    auto nameOnDisk = [this] {
        MapState now;
        EXPECT_EQ(OpenMap(now, path).result, LoadResult::Loaded);
        return now.ScriptHeaderCache.empty() ? std::string() : now.ScriptHeaderCache.front().Name;
    };
    EXPECT_EQ(nameOnDisk(), name);
    QTest::qWait(300);
    EXPECT_EQ(nameOnDisk(), name);
}

// A message that something run in a turn of the event loop shows, as an Extract All run that
// ends while the map is protected does, takes the keys typed into it.
TEST_F(CloseRequestTest, AMessageShownInATurnTakesItsKeys) {
    bool answered = false;
    x11test::YieldPoint::At(kCloseAt, [&] {
        QTimer::singleShot(0, [&] {
            platform::MsgBox("Extract all is done");
            answered = true;
        });
    });
    window->ScriptToolsProtectMap()->Action()->trigger();
    EXPECT_TRUE(answered);
    ASSERT_EQ(boxes.texts.size(), 2);
    EXPECT_EQ(boxes.texts[0], "Extract all is done");
}

}  // namespace
