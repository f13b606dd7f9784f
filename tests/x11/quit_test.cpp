// File > Quit while a job lets the event loop run, with other windows open: the job ends, then
// the application does. Qt's own quit closes the windows in the order of its window list and
// stops at the first that refuses, the busy one; each case runs with the busy window at every
// place of that list.
#include <QFileDialog>
#include <QPointer>

#include <string>
#include <vector>

#include "X11Support.h"
#include "extraction/ui/Extract.h"
#include "mainwindow/ui/MainWindow.h"

namespace {

constexpr int kQuitAt = 2000;
// Output windows made at random places of the list until they put the busy window where the
// case wants it.
constexpr int kIdleWindows = 2;
constexpr int kTries = 1000;

class QuitTest : public x11test::LargeMapTest, public ::testing::WithParamInterface<int> {
protected:
    // The place of `window` among the open windows in Qt's list.
    static int PlaceInList(const platform::DesignWindow* window) {
        int place = 0;
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* open = qobject_cast<platform::DesignWindow*>(widget);
            if (open == window) {
                return place;
            }
            place += open != nullptr && open->IsOpen() ? 1 : 0;
        }
        return -1;
    }

    // Idle output windows, made anew until `busy` stands at the case's place in the list, and
    // then shown. The windows of a try that missed are closed, not deleted, so that the next
    // try's windows take other addresses, and so other places.
    void Arrange(const platform::DesignWindow& busy) {
        for (int tried = 0; tried < kTries; ++tried) {
            for (const QPointer<Extract>& made : idle) {
                made->close();
            }
            idle.clear();
            for (int i = 0; i < kIdleWindows; ++i) {
                idle.emplace_back(new Extract());
            }
            if (PlaceInList(&busy) == GetParam()) {
                for (const QPointer<Extract>& made : idle) {
                    made->Show();
                }
                ASSERT_EQ(PlaceInList(&busy), GetParam());
                return;
            }
        }
        FAIL() << "the busy window never came at place " << GetParam();
    }

    // Chooses File > Quit in an idle window.
    void Quit() {
        ASSERT_FALSE(idle.empty());
        idle.front()->FileQuit()->Action()->trigger();
    }

    void ExpectEveryWindowClosed() {
        EXPECT_EQ(MainWindow::Existing(), nullptr);
        EXPECT_TRUE(uitest::OutputWindows().empty());
    }

    std::vector<QPointer<Extract>> idle;
};

TEST_P(QuitTest, DuringProtectMap) {
    bool quitAsked = false;
    bool protectedAfterTheQuit = false;
    ASSERT_TRUE(RunUntilTheApplicationEnds([&] {
        x11test::YieldPoint::At(kQuitAt, [&] {
            Arrange(*window);
            Quit();
            quitAsked = true;
        });
        window->ScriptToolsProtectMap()->Action()->trigger();
        protectedAfterTheQuit = quitAsked;
    }));
    EXPECT_TRUE(protectedAfterTheQuit);
    ASSERT_EQ(boxes.texts.size(), 1);
    EXPECT_TRUE(boxes.texts[0].startsWith("Map is now protected from basic script extraction!"));
    ExpectEveryWindowClosed();
}

// The quit waits for the dialog and the save; the main window is closed beforehand, so that
// the case's places are those of output windows alone.
TEST_P(QuitTest, WhileAnOutputWindowsSaveDialogIsOpen) {
    window->close();
    const std::string text("(script static void main (sleep 30))\n\xE9", 38);
    auto* busy = new Extract();
    busy->ScriptsSaved = text;
    busy->Show();
    QString saved;
    bool dialogOpenAfterTheQuit = false;
    ASSERT_TRUE(RunUntilTheApplicationEnds([&] {
        QTimer::singleShot(100, [&] {
            Arrange(*busy);
            Quit();
            QTimer::singleShot(300, [&] {
                auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
                ASSERT_NE(dialog, nullptr);
                dialogOpenAfterTheQuit = true;
                // A folder of the case's own, so that no question about replacing a file comes.
                dialog->setDirectory(platform::PathFromBytes(TempPath("")));
                saved = dialog->selectedFiles().value(0);
                static_cast<QDialog*>(dialog)->accept();
            });
        });
        busy->Filesave()->Action()->trigger();
    }));
    EXPECT_TRUE(dialogOpenAfterTheQuit);
    EXPECT_EQ(uitest::ReadFileBytes(platform::PathToBytes(saved)),
              std::vector<uint8_t>(text.begin(), text.end()));
    ExpectEveryWindowClosed();
}

INSTANTIATE_TEST_SUITE_P(EveryPlace, QuitTest, ::testing::Range(0, kIdleWindows + 1));

}  // namespace
