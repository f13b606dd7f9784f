// The Extract Range window reached from the main menu, and its two extractions.
#include <QComboBox>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>

#include "RecordMap.h"
#include "UiTestSupport.h"
#include "extraction/Extraction.h"
#include "extraction/ui/Extract.h"
#include "extraction/ui/MenuBar2.h"
#include "extraction/ui/WinRange.h"
#include "mainwindow/ui/MainWindow.h"

namespace {

using uitest::OutputWindows;
QStringList Rows(const QComboBox* popup) {
    QStringList rows;
    for (int i = 0; i < popup->count(); ++i) {
        rows.append(popup->itemText(i));
    }
    return rows;
}

// A pick from the pop-up's list, as the pop-up reports a user's choice.
void Pick(QComboBox* popup, int row) {
    popup->setCurrentIndex(row);
    emit popup->activated(row);
}

class WinRangeTest : public uitest::MapWindowTest {
protected:
    void SetUp() override {
        uitest::MapWindowTest::SetUp();
        testmap::MapSpec spec = uitest::RecordsMap();
        spec.scripts.push_back({"wait", 1, 4, -32763});  // a second "wait"
        Load(spec);
    }

    WinRange* OpenScriptRange() {
        window->ExtractScriptRange()->Action()->trigger();
        return WinRange::Existing();
    }

    const WinRangeControls& R() const { return WinRange::Existing()->Controls(); }
};

// A fixed size, the output windows' menu bar, and each range's controls on its own page.
TEST_F(WinRangeTest, Design) {
    WinRange* range = OpenScriptRange();
    ASSERT_NE(range, nullptr);
    EXPECT_EQ(range->Content()->minimumSize(), range->Content()->maximumSize());
    EXPECT_EQ(range->MenuBar(), &MenuBar2::Instance());
    uitest::ExpectDesign(*range, {{"ScrStart", "QComboBox", "page1", {97, 49, 183, 20}}});
    for (const QWidget* control : std::initializer_list<const QWidget*>{
             R().ScrEnd, R().ScrExtract, R().GlbStart, R().GlbEnd, R().GlbExtract}) {
        const int page = control->objectName().startsWith("Scr") ? 1 : 2;
        EXPECT_EQ(control->parentWidget(), R().BgkRnd->Page(page))
            << control->objectName().toStdString();
    }
}

// Both commands show one window, which keeps its choices until an extraction closes it.
TEST_F(WinRangeTest, CommandsShareOneWindowAndItsChoicesUntilItCloses) {
    WinRange* range = OpenScriptRange();
    EXPECT_EQ(R().BgkRnd->Value(), 1);
    // Every script but the last, rows for positions: the two "wait" are two rows.
    EXPECT_EQ(Rows(R().ScrStart),
              (QStringList{"wait", "boot", "loop", "calc", "lost", "short", "odd"}));
    EXPECT_EQ(Rows(R().GlbStart), (QStringList{"on", "off", "x"}));
    // Nothing is chosen until the user picks.
    EXPECT_EQ(R().ScrStart->currentIndex(), -1);
    EXPECT_TRUE(Rows(R().ScrEnd).isEmpty());

    Pick(R().ScrStart, 4);
    EXPECT_EQ(Rows(R().ScrEnd), (QStringList{"short", "odd", "wait"}));
    EXPECT_EQ(R().ScrEnd->currentIndex(), -1);
    Pick(R().ScrStart, 0);
    Pick(R().ScrEnd, 1);
    Pick(R().GlbStart, 1);
    EXPECT_EQ(Rows(R().GlbEnd), (QStringList{"x", "none"}));

    window->ExtractGlobalRange()->Action()->trigger();
    EXPECT_EQ(WinRange::Existing(), range);
    EXPECT_EQ(R().BgkRnd->Value(), 2);
    EXPECT_EQ(R().ScrStart->currentIndex(), 0);
    EXPECT_EQ(R().ScrEnd->currentIndex(), 1);

    Pick(R().GlbEnd, 1);
    const QPointer<WinRange> closed = range;
    QTest::mouseClick(R().GlbExtract, Qt::LeftButton);
    uitest::ProcessEvents();
    EXPECT_TRUE(closed.isNull());
    ASSERT_EQ(OutputWindows().size(), 1u);
    EXPECT_EQ(OutputWindows().front()->ScriptsSaved,
              "(global boolean off false)\n(global short x 5)\n(global real none 0)\n");
    // A new window may take the closed one's address: it is told apart by its fresh state.
    window->ExtractGlobalRange()->Action()->trigger();
    ASSERT_NE(WinRange::Existing(), nullptr);
    EXPECT_EQ(R().BgkRnd->Value(), 2);
    EXPECT_TRUE(Rows(R().ScrEnd).isEmpty());
    EXPECT_EQ(R().GlbStart->currentIndex(), -1);
}

TEST_F(WinRangeTest, ExtractShowsTheWindowThenSaysDoneThenCloses) {
    OpenScriptRange();
    Pick(R().ScrStart, 1);
    Pick(R().ScrEnd, 0);
    const std::string expected = ExtractScriptRange(window->State(), 1, 0).text;
    ASSERT_NE(expected.find("(script startup boot"), std::string::npos);
    bool shownAtMessage = false;
    bool rangeOpenAtMessage = false;
    platform::SetModalHook([&](QMessageBox& box) {
        shown.push_back({box.text(), {}, {}, box.icon()});
        const std::vector<Extract*> outputs = OutputWindows();
        shownAtMessage = outputs.size() == 1 && outputs.front()->isVisible();
        rangeOpenAtMessage = WinRange::Existing() != nullptr;
        return box.button(QMessageBox::Ok);
    });
    QTest::mouseClick(R().ScrExtract, Qt::LeftButton);
    uitest::ProcessEvents();

    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, "done");
    EXPECT_TRUE(shownAtMessage);
    EXPECT_TRUE(rangeOpenAtMessage);
    EXPECT_EQ(WinRange::Existing(), nullptr);
    ASSERT_EQ(OutputWindows().size(), 1u);
    EXPECT_EQ(OutputWindows().front()->ScriptsSaved, expected);
    EXPECT_EQ(platform::ToBytes(OutputWindows().front()->FldExtract->toPlainText()), expected);
}

// An open window lists the map open now: every accepted load refills it at once, on the page it
// shows, with nothing chosen; a refused load changes nothing.
TEST_F(WinRangeTest, AnOpenWindowFollowsEveryAcceptedLoad) {
    OpenScriptRange();
    Pick(R().ScrStart, 4);
    Pick(R().ScrEnd, 1);
    Pick(R().GlbStart, 0);
    const auto expectChoices = [this](int scrStart, int scrEnd, int glbStart, QStringList scrEnds) {
        EXPECT_EQ(R().ScrStart->currentIndex(), scrStart);
        EXPECT_EQ(R().ScrEnd->currentIndex(), scrEnd);
        EXPECT_EQ(R().GlbStart->currentIndex(), glbStart);
        EXPECT_EQ(Rows(R().ScrEnd), scrEnds);
        EXPECT_EQ(R().BgkRnd->Value(), 1);
    };

    testmap::MapSpec refused = uitest::SmallMap();
    refused.headerValue = 609;
    uitest::OpenThroughTheMenu(*window, uitest::SaveMap(refused, TempPath("609.map")));
    expectChoices(4, 1, 0, {"short", "odd", "wait"});

    // A smaller map, then a larger one again.
    testmap::MapSpec smaller = uitest::SmallMap();
    smaller.scripts.push_back({"third", 1, 4, -1});
    Load(smaller, "smaller.map");
    EXPECT_EQ(Rows(R().ScrStart), (QStringList{"intro", "loop"}));
    EXPECT_TRUE(Rows(R().GlbStart).isEmpty());
    expectChoices(-1, -1, -1, {});
    EXPECT_TRUE(Rows(R().GlbEnd).isEmpty());
    Pick(R().ScrStart, 1);
    Pick(R().ScrEnd, 0);
    QTest::mouseClick(R().ScrExtract, Qt::LeftButton);
    uitest::ProcessEvents();
    ASSERT_EQ(OutputWindows().size(), 1u);
    EXPECT_EQ(OutputWindows().front()->ScriptsSaved, ExtractScriptRange(window->State(), 1, 0).text);
    EXPECT_NE(OutputWindows().front()->ScriptsSaved.find("(script dormant void third"),
              std::string::npos);

    OpenScriptRange();
    Load(uitest::RecordsMap(), "larger.map");
    EXPECT_EQ(Rows(R().ScrStart).size(), 6);
    EXPECT_EQ(Rows(R().GlbStart), (QStringList{"on", "off", "x"}));
    expectChoices(-1, -1, -1, {});
}

TEST_F(WinRangeTest, SaveDoesNothingWhileThisWindowIsInFront) {
    auto* output = new Extract();
    output->Show();
    WinRange* range = OpenScriptRange();
    ASSERT_TRUE(QTest::qWaitForWindowActive(range));
    bool asked = false;
    platform::SetSaveFileHook([&asked](const platform::SaveFileRequest&) {
        asked = true;
        return QString();
    });
    range->MenuItemNamed("Filesave")->Action()->trigger();
    platform::SetSaveFileHook(nullptr);
    EXPECT_FALSE(asked);
}

}  // namespace
