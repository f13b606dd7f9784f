// The Extract Range window reached from the main menu, and its two extractions.
#include <QApplication>
#include <QComboBox>
#include <QLabel>
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

TEST_F(WinRangeTest, DesignOfTheWindowAndItsFifteenControls) {
    WinRange* range = OpenScriptRange();
    ASSERT_NE(range, nullptr);
    EXPECT_EQ(range->windowTitle(), "Extract Range");
    EXPECT_EQ(range->Content()->minimumSize(), QSize(300, 143));
    EXPECT_EQ(range->Content()->maximumSize(), QSize(300, 143));
    EXPECT_EQ(range->MenuBar(), &MenuBar2::Instance());
    EXPECT_EQ(R().BgkRnd->count(), 3);
    uitest::ExpectDesign(
        *range,
        {
            {"BgkRnd", "platform::PagePanel", "content", {0, 0, 300, 143}},
            {"StaticText1",
             "QLabel",
             "page1",
             {13, 8, 267, 29},
             "Please select a starting script and ending script for the range of the extraction"},
            {"ScrStart", "QComboBox", "page1", {97, 49, 183, 20}},
            {"StaticText2", "QLabel", "page1", {13, 49, 78, 20}, "Starting script"},
            {"ScrEnd", "QComboBox", "page1", {97, 81, 183, 20}},
            {"StaticText3", "QLabel", "page1", {13, 81, 78, 20}, "Ending script"},
            {"ScrExtract", "QPushButton", "page1", {190, 113, 90, 22}, "Extract Range"},
            {"StaticText4",
             "QLabel",
             "page2",
             {13, 8, 267, 29},
             "Please select a starting global and ending global for the range of the extraction"},
            {"GlbStart", "QComboBox", "page2", {97, 49, 183, 20}},
            {"StaticText5", "QLabel", "page2", {13, 49, 78, 20}, "Starting global"},
            {"GlbEnd", "QComboBox", "page2", {97, 81, 183, 20}},
            {"StaticText6", "QLabel", "page2", {13, 81, 78, 20}, "Ending global"},
            {"GlbExtract", "QPushButton", "page2", {190, 113, 90, 22}, "Extract Range"},
            {"StaticText7", "QLabel", "page0", {0, 0, 300, 137}},
            {"StaticText8", "QLabel", "page0", {200, 72, 100, 20}},
        });
    EXPECT_FALSE(R().StaticText7->text().isEmpty());
    EXPECT_FALSE(R().StaticText8->text().isEmpty());
}

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
    EXPECT_EQ(Rows(R().ScrEnd),
              (QStringList{"boot", "loop", "calc", "lost", "short", "odd", "wait"}));
    Pick(R().ScrEnd, 1);
    Pick(R().GlbStart, 1);
    EXPECT_EQ(Rows(R().GlbEnd), (QStringList{"x", "none"}));

    window->ExtractGlobalRange()->Action()->trigger();
    EXPECT_EQ(WinRange::Existing(), range);
    EXPECT_EQ(R().BgkRnd->Value(), 2);
    window->ExtractScriptRange()->Action()->trigger();
    EXPECT_EQ(R().BgkRnd->Value(), 1);
    EXPECT_EQ(R().ScrStart->currentIndex(), 0);
    EXPECT_EQ(R().ScrEnd->currentIndex(), 1);
    EXPECT_EQ(Rows(R().GlbEnd), (QStringList{"x", "none"}));

    // A new window may take the closed one's address: it is told apart by its fresh state.
    const QPointer<WinRange> closed = range;
    range->close();
    uitest::ProcessEvents();
    EXPECT_TRUE(closed.isNull());
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

TEST_F(WinRangeTest, GlobalRangeAndTheEmptyRun) {
    window->ExtractGlobalRange()->Action()->trigger();
    Pick(R().GlbStart, 0);
    Pick(R().GlbEnd, 2);
    QTest::mouseClick(R().GlbExtract, Qt::LeftButton);
    ASSERT_EQ(OutputWindows().size(), 1u);
    EXPECT_EQ(OutputWindows().front()->ScriptsSaved,
              "(global boolean on true)\n(global boolean off false)\n(global short x 5)\n"
              "(global real none 0)\n");
    // No end chosen: an empty window, "done", and the window closes.
    window->ExtractGlobalRange()->Action()->trigger();
    Pick(R().GlbStart, 2);
    QTest::mouseClick(R().GlbExtract, Qt::LeftButton);
    ASSERT_EQ(OutputWindows().size(), 2u);
    EXPECT_EQ(shown.size(), 2u);
    EXPECT_EQ(WinRange::Existing(), nullptr);
}

TEST_F(WinRangeTest, RowsListedBeforeAnotherMapReadOnlyWhatTheNewMapHolds) {
    OpenScriptRange();
    Pick(R().ScrStart, 5);
    Pick(R().ScrEnd, 1);  // positions 5 to 7
    uitest::OpenThroughTheMenu(*window, uitest::SaveMap(uitest::SmallMap(), TempPath("b.map")));
    EXPECT_EQ(Rows(R().ScrEnd), (QStringList{"odd", "wait"}));
    QTest::mouseClick(R().ScrExtract, Qt::LeftButton);
    ASSERT_EQ(OutputWindows().size(), 1u);
    EXPECT_EQ(OutputWindows().front()->ScriptsSaved, "");
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
