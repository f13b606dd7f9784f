// The output window, its menu bar, and Extract All run from the main menu.
#include <QApplication>
#include <QComboBox>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTest>

#include <algorithm>

#include "RecordMap.h"
#include "UiTestSupport.h"
#include "extraction/CommandDatabase.h"
#include "extraction/Extraction.h"
#include "extraction/ui/Extract.h"
#include "extraction/ui/MenuBar2.h"
#include "extraction/ui/ThreadExtractAll.h"
#include "mainwindow/ui/MainWindow.h"
#include "mainwindow/ui/MenuBar1.h"

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

std::string FileText(const std::string& path) {
    const std::vector<uint8_t> bytes = uitest::ReadFileBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

class ExtractWindowTest : public uitest::MapWindowTest {
protected:
    void TearDown() override {
        WaitForRuns();
        platform::SetSaveFileHook(nullptr);
        uitest::MapWindowTest::TearDown();
    }

    // File > Save chosen in `window`, the dialog answered with `path` (empty: Cancel).
    void Save(Extract& target, const std::string& file) {
        platform::SetSaveFileHook([file, this](const platform::SaveFileRequest& request) {
            defaultName = request.defaultName;
            return platform::PathFromBytes(file);
        });
        target.Show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&target));
        target.Filesave()->Action()->trigger();
    }

    QString defaultName;
};

TEST_F(ExtractWindowTest, OneSharedMenuBarWithSaveQuitAndTheMainWindowsEditMenu) {
    auto* first = new Extract();
    auto* second = new Extract();
    EXPECT_EQ(first->MenuBar(), &MenuBar2::Instance());
    EXPECT_EQ(second->MenuBar(), &MenuBar2::Instance());
    auto items = [](const platform::MenuItem& menu) {
        std::vector<std::string> texts;
        for (const auto& item : menu.Children()) {
            texts.push_back(item->Name() + " " + item->Text() + " " + item->KeyboardShortcut());
        }
        return texts;
    };
    ASSERT_EQ(MenuBar2::Instance().Items().size(), 2u);
    EXPECT_EQ(items(*first->FileMenu()),
              (std::vector<std::string>{"Filesave &Save Cmd+S", "FileQuit &Quit Cmd+Q"}));
    EXPECT_EQ(first->Filesave()->Action()->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_S));
    EXPECT_EQ(items(*first->EditMenu()), items(*MenuBar1::Instance().Child("EditMenu")));
    // Edit > Select All acts on the focused field of the window in front.
    first->AppendText("abc");
    first->Show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(first));
    first->FldExtract->setFocus();
    first->EditSelectAll()->Action()->trigger();
    EXPECT_EQ(first->FldExtract->textCursor().selectedText(), "abc");
}

TEST_F(ExtractWindowTest, DesignWithTheNameTablesOutOfSight) {
    Extract output;
    EXPECT_EQ(output.windowTitle(), "Extracted");
    EXPECT_EQ(output.Content()->size(), QSize(393, 729));
    EXPECT_EQ(output.FldExtract->geometry(), QRect(1, 0, 392, 729));
    EXPECT_FALSE(output.FldExtract->isReadOnly());
    output.Show();
    for (const QSize size : {QSize(64, 64), QSize(900, 1200)}) {
        output.Content()->resize(size);
        EXPECT_EQ(output.FldExtract->geometry(), QRect(1, 0, size.width() - 1, size.height()));
        for (QComboBox* hidden : {output.ReType, output.Type}) {
            EXPECT_LE(hidden->geometry().bottom(), -1);
        }
    }
}

TEST_F(ExtractWindowTest, SaveWritesTheProducersTextExactly) {
    auto* first = new Extract();
    auto* second = new Extract();
    // Map bytes of every kind, no line end at the end.
    first->ScriptsSaved = std::string("(global short \xE9\x01\r\n x 5)\x00z", 23);
    first->AppendText(first->ScriptsSaved);
    second->ScriptsSaved = "second";
    // The user's edits stay in the field.
    first->FldExtract->setPlainText("edited");

    const std::string out = TempPath("out.txt");
    Save(*first, out);
    EXPECT_EQ(defaultName, "scripts");
    EXPECT_EQ(FileText(out), first->ScriptsSaved);
    Save(*second, out);
    EXPECT_EQ(FileText(out), "second");

    // Cancel writes nothing; an empty text gives an empty file.
    Save(*first, "");
    EXPECT_EQ(FileText(out), "second");
    second->ScriptsSaved.clear();
    Save(*second, out);
    EXPECT_EQ(FileText(out), "");
    EXPECT_TRUE(shown.empty());
}

TEST_F(ExtractWindowTest, FailedSaveSaysSoOnce) {
    auto* output = new Extract();
    output->ScriptsSaved = "text";
    // A file whose folder does not exist cannot be created.
    Save(*output, TempPath("missing/out.txt"));
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_TRUE(shown[0].text.contains("missing/out.txt")) << shown[0].text.toStdString();
}

TEST_F(ExtractWindowTest, ExtractAllPrintsTheMapIntoANewWindowInOrder) {
    Load(uitest::RecordsMap());
    const std::string expected = ExtractAll(window->State()).text;
    // What the user sees while the closing message is up.
    struct Seen {
        bool hidden = false;
        std::string saved;
        QString field;
    };
    std::vector<Seen> seen;
    platform::SetModalHook([&seen, this](QMessageBox& box) {
        shown.push_back({box.text(), {}, {}, box.icon()});
        for (Extract* output : OutputWindows()) {
            seen.push_back(
                {output->isHidden(), output->ScriptsSaved, output->FldExtract->toPlainText()});
        }
        return box.button(QMessageBox::Ok);
    });
    window->Extractall()->Action()->trigger();
    // The window is there before anything is printed.
    ASSERT_EQ(OutputWindows().size(), 1u);
    WaitForRuns();

    ASSERT_EQ(shown.size(), 1u);
    EXPECT_TRUE(
        shown[0].text.startsWith("The extraction is done.\n4 globals were extracted, 7 "
                                 "scripts were extracted, and "));
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_TRUE(seen[0].hidden);
    EXPECT_EQ(seen[0].saved, expected);
    EXPECT_TRUE(seen[0].field.isEmpty());
    Extract* output = OutputWindows().front();
    EXPECT_TRUE(output->isVisible());
    EXPECT_EQ(platform::ToBytes(output->FldExtract->toPlainText()), expected);
    EXPECT_EQ(output->ScriptsSaved, expected);
}

TEST_F(ExtractWindowTest, RunsGoOnOverTheMapTheyStartedWithAndEachHasItsWindow) {
    testmap::MapSpec first = uitest::RecordsMap();
    Load(first);
    const std::string firstText = ExtractAll(window->State()).text;
    window->Extractall()->Action()->trigger();
    window->Extractall()->Action()->trigger();
    // Overtaken by a load and an edit before either has finished.
    testmap::MapSpec second = uitest::SmallMap();
    uitest::OpenThroughTheMenu(*window, uitest::SaveMap(second, TempPath("second.map")));
    window->State().GlobalHeaderCache.front().Name = "changed";
    window->Extractall()->Action()->trigger();
    WaitForRuns();

    const std::vector<Extract*> outputs = OutputWindows();
    ASSERT_EQ(outputs.size(), 3u);
    std::vector<std::string> texts;
    for (Extract* output : outputs) {
        texts.push_back(output->ScriptsSaved);
    }
    std::sort(texts.begin(), texts.end());
    const std::string secondText = ExtractAll(window->State()).text;
    std::vector<std::string> expected = {firstText, firstText, secondText};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(texts, expected);
    EXPECT_EQ(shown.size(), 3u);
}

TEST_F(ExtractWindowTest, ARunOutlivesTheMainWindow) {
    Load(uitest::RecordsMap());
    const std::string expected = ExtractAll(window->State()).text;
    window->Extractall()->Action()->trigger();
    window->close();
    ProcessEvents();
    WaitForRuns();
    ASSERT_EQ(OutputWindows().size(), 1u);
    EXPECT_EQ(OutputWindows().front()->ScriptsSaved, expected);
    EXPECT_TRUE(OutputWindows().front()->isVisible());
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

TEST_F(ExtractWindowTest, DatabaseListsTheOpenMapsCommandsInANewTitledWindow) {
    Load(uitest::RecordsMap());
    const std::string first = BuildCommandDatabase(window->State().SyntaxCache).text;
    ASSERT_NE(first.find("CommandDictionary.value(\"sleep\") = 19\n"), std::string::npos);
    window->ScriptToolsdatabase()->Action()->trigger();
    uitest::OpenThroughTheMenu(*window, uitest::SaveMap(uitest::SmallMap(), TempPath("b.map")));
    window->ScriptToolsdatabase()->Action()->trigger();

    const std::vector<Extract*> outputs = OutputWindows();
    ASSERT_EQ(outputs.size(), 2u);
    std::vector<std::string> texts;
    for (Extract* output : outputs) {
        EXPECT_EQ(output->windowTitle(), "Map Script command DataBase");
        EXPECT_TRUE(output->isVisible());
        EXPECT_EQ(platform::ToBytes(output->FldExtract->toPlainText()), output->ScriptsSaved);
        texts.push_back(output->ScriptsSaved);
    }
    std::sort(texts.begin(), texts.end());
    EXPECT_EQ(texts, (std::vector<std::string>{"", first}));
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_TRUE(shown[0].text.startsWith("11 proccessed, and 2 were added. This took "))
        << shown[0].text.toStdString();
    // A map without nodes: an empty titled window and the counts 0 and 0.
    EXPECT_TRUE(shown[1].text.startsWith("0 proccessed, and 0 were added. This took "));
    EXPECT_TRUE(shown[1].text.endsWith(" seconds"));
}

}  // namespace
