#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QTextDocument>
#include <QThread>

#include <fstream>

#include "DemoMap.h"
#include "RecordMap.h"

namespace {

QString Tag(int64_t offset) {
    return "Offset : 0x" + QString::number(offset, 16).toUpper();
}

class RecordPagesTest : public uitest::MapWindowTest {
protected:
    void SetUp() override {
        MapWindowTest::SetUp();
        Load(uitest::RecordsMap());
    }

    QString ScriptText() const { return C().FldScriptDeComp->toPlainText(); }
    QString FirstLine() const { return ScriptText().section('\n', 0, 0) + "\n"; }
};

TEST_F(RecordPagesTest, ScriptPageShowsEveryFieldWithItsOffset) {
    C().StaticTimeStamp->setText("");
    Select({"scripts", "s: wait"});
    const int64_t record = map.ScriptRecord(0);

    EXPECT_EQ(C().PageEditor->Value(), 1);
    EXPECT_EQ(C().FldScriptName->text(), "wait");
    EXPECT_EQ(C().FldScriptName->toolTip(), Tag(record));
    EXPECT_EQ(C().PopScriptType->currentIndex(), 1);
    EXPECT_EQ(C().PopScriptType->toolTip(), Tag(record + 32));
    EXPECT_EQ(C().PopScriptReturn->currentIndex(), 4);
    EXPECT_EQ(C().PopScriptReturn->toolTip(), Tag(record + 34));
    EXPECT_EQ(C().FldScriptExpPointer->text(), "-32763");
    EXPECT_EQ(C().FldScriptExpPointer->toolTip(), Tag(record + 36));
    EXPECT_EQ(ScriptText(), "(script dormant void wait\n(begin\n( sleep 30))\n))");
    EXPECT_TRUE(QRegularExpression("^[0-9]+ ticks$").match(C().StaticTimeStamp->text()).hasMatch())
        << C().StaticTimeStamp->text().toStdString();
    EXPECT_EQ(C().FldScriptDeComp->toolTip(), "");
    EXPECT_EQ(C().StaticTimeStamp->toolTip(), "");
    EXPECT_EQ(window->State().LoadedScript, 0);
}

TEST_F(RecordPagesTest, TypeCodesOutsideThePopUpListsShowNoSelectionAndStayInTheMap) {
    Select({"scripts", "s: odd"});
    EXPECT_EQ(C().PopScriptType->currentIndex(), -1);
    EXPECT_EQ(C().PopScriptReturn->currentIndex(), -1);
    EXPECT_EQ(FirstLine(), "(script   odd\n");
    EXPECT_EQ(window->State().ScriptHeaderCache[6].Type, 9);
    EXPECT_EQ(window->State().ScriptHeaderCache[6].ReturnType, 60);
    ExpectUnchanged();
    EXPECT_TRUE(shown.empty());
}

// A printing long enough to reach the field in several parts gives the same text as one
// printed whole.
TEST_F(RecordPagesTest, StreamedTextArrivingInPartsEqualsTheReturnedText) {
    Load(testmap::DemoMap(), "demo.map");
    const QStringList scripts = {"s: intro", "s: patrol", "s: watch", "s: total_ticks",
                                 "s: ready_to_save"};
    int parts = 0;
    const QMetaObject::Connection count = QObject::connect(
        C().FldScriptDeComp->document(), &QTextDocument::contentsChange, C().FldScriptDeComp,
        [&parts](int position, int, int added) { parts += position > 0 && added > 0 ? 1 : 0; });
    for (int style : {1, 2}) {
        Prefernces::DecompStyle = style;
        for (const QString& row : scripts) {
            SCOPED_TRACE(row.toStdString() + " style " + std::to_string(style));
            Prefernces::ScriptPrinting = 1;
            Select({"scripts", row.toLatin1().constData()});
            const QString returned = ScriptText();
            ASSERT_TRUE(returned.endsWith("))"));

            Prefernces::ScriptPrinting = 2;
            Select({"globals"});
            // Slow yields make the field take the pieces in several parts.
            platform::SetYieldHook([] { QThread::msleep(4); });
            Select({"scripts", row.toLatin1().constData()});
            platform::SetYieldHook(nullptr);
            EXPECT_EQ(ScriptText() + "))", returned);
        }
        if (style == 1) {
            // The order walk yields once per node, so its pieces came in several parts.
            EXPECT_GT(parts, scripts.size());
        }
    }
    QObject::disconnect(count);
}

TEST_F(RecordPagesTest, GlobalPageShowsEveryFieldAndTheGlobalLine) {
    Select({"globals", "g: on"});
    const int64_t record = map.GlobalRecord(0);
    EXPECT_EQ(C().PageEditor->Value(), 2);
    EXPECT_EQ(C().FldGlobalName->text(), "on");
    EXPECT_EQ(C().FldGlobalName->toolTip(), Tag(record));
    EXPECT_EQ(C().PopGlobalType->currentIndex(), 5);
    EXPECT_EQ(C().PopGlobalType->toolTip(), Tag(record + 32));
    EXPECT_EQ(C().FldGlobalExpPointer->text(), "-32760");
    EXPECT_EQ(C().FldGlobalExpPointer->toolTip(), Tag(record + 40));
    EXPECT_EQ(C().FldGlobalDecomp->toPlainText(), "(global boolean on true)");
    EXPECT_EQ(C().FldGlobalDecomp->toolTip(), "");
    EXPECT_EQ(window->State().LoadedGlobal, 0);
    Select({"globals", "g: x"});
    EXPECT_EQ(C().FldGlobalName->toolTip(), Tag(map.GlobalRecord(2)));
}

TEST_F(RecordPagesTest, SyntaxPageShowsEveryFieldWithItsOffset) {
    Select({"scripts", "s: wait", "-32766"});
    const int64_t record = map.SyntaxRecord(2);
    const int64_t text = map.textOffsets[2];
    EXPECT_EQ(C().PageEditor->Value(), 3);
    EXPECT_EQ(C().FldSyntaxExpIdent->text(), "-32766");
    EXPECT_EQ(C().FldSyntaxExpIdent->toolTip(), Tag(record));
    EXPECT_EQ(C().FldSyntaxEngineIdent->text(), "19");
    EXPECT_EQ(C().FldSyntaxEngineIdent->toolTip(), Tag(record + 2));
    EXPECT_EQ(C().PopSyntaxType->currentIndex(), 4);
    EXPECT_EQ(C().PopSyntaxType->toolTip(), Tag(record + 4));
    EXPECT_EQ(C().FldSyntaxExpType->text(), "8");
    EXPECT_EQ(C().FldSyntaxExpType->toolTip(), Tag(record + 6));
    EXPECT_EQ(C().FldSyntaxEngineCommand->text(), "sleep");
    EXPECT_EQ(C().FldSyntaxEngineCommand->toolTip(), "Result of the Command Database");
    EXPECT_EQ(C().FldSyntaxSibExp->text(), "-1");
    EXPECT_EQ(C().FldSyntaxSibExp->toolTip(), Tag(record + 8));
    EXPECT_EQ(C().FldSyntaxScriptTableOffset->text(), QString::number(text, 16).toUpper());
    EXPECT_EQ(C().FldSyntaxScriptTableOffset->toolTip(), Tag(record + 12));
    EXPECT_EQ(C().FldSyntaxScriptValue->text(), "0");
    EXPECT_EQ(C().FldSyntaxScriptValue->toolTip(), Tag(record + 16));
    EXPECT_EQ(C().FldSyntaxKidExp->text(), "-32765");
    EXPECT_EQ(C().FldSyntaxKidExp->toolTip(), Tag(record + 18));
    EXPECT_EQ(C().FldSyntaxCommand->toPlainText(), "sleep");
    EXPECT_EQ(C().FldSyntaxCommand->toolTip(), Tag(text));
    EXPECT_EQ(window->State().LoadedSyntax, 2);

    Select({"globals", "g: on", "-32760"});
    EXPECT_EQ(C().FldSyntaxScriptValue->text(), "-255");
    EXPECT_EQ(C().PopSyntaxType->currentIndex(), 5);
    EXPECT_EQ(C().FldSyntaxCommand->toPlainText(), "true");
    EXPECT_EQ(C().FldSyntaxExpIdent->toolTip(), Tag(map.SyntaxRecord(8)));
}

// Which name an identity has is the table's matter (enginecommands_test.cpp); the page asks the
// table the last load built.
TEST_F(RecordPagesTest, EngineCommandNamesComeFromTheTableOfTheLastLoad) {
    Select({"scripts", "s: wait", "-32766"});
    EXPECT_EQ(C().FldSyntaxEngineCommand->text(), "sleep");
    Prefernces::EngineCommands = 2;
    std::ofstream(platform::DefaultFolderItem("ComDat.xml"), std::ios::binary)
        << "<commands><command><id>19</id><name>nap</name></command></commands>";
    Select({"scripts", "s: wait", "-32765"});
    EXPECT_EQ(C().FldSyntaxEngineCommand->text(), "sleep");
    Load(uitest::RecordsMap(), "again.map");
    Select({"scripts", "s: wait", "-32766"});
    EXPECT_EQ(C().FldSyntaxEngineCommand->text(), "nap");
    EXPECT_EQ(C().FldSyntaxEngineCommand->toolTip(), "Result of the Command Database");
    EXPECT_TRUE(shown.empty());
}

// A field too narrow for its text shows where the text starts, not where it ends.
TEST_F(RecordPagesTest, FilledFieldsShowTheStartOfTheirTexts) {
    const auto atStart = [](const std::vector<QWidget*>& fields) {
        for (QWidget* field : fields) {
            SCOPED_TRACE(field->objectName().toStdString());
            if (auto* line = qobject_cast<QLineEdit*>(field)) {
                EXPECT_EQ(line->cursorPosition(), 0);
            } else if (auto* text = qobject_cast<QPlainTextEdit*>(field)) {
                EXPECT_EQ(text->textCursor().position(), 0);
            }
        }
    };
    const MainWindowControls& c = C();
    for (int32_t printing : {1, 2}) {
        Prefernces::ScriptPrinting = printing;
        Select({"scripts", "s: calc"});
        atStart({c.FldScriptName, c.FldScriptExpPointer, c.FldScriptDeComp});
    }
    Select({"globals", "g: on"});
    atStart({c.FldGlobalName, c.FldGlobalExpPointer, c.FldGlobalDecomp});
    Select({"scripts", "s: wait", "-32764"});
    ASSERT_EQ(c.FldSyntaxEngineCommand->text(), "Uknown engine command");
    atStart({c.FldSyntaxExpIdent, c.FldSyntaxEngineIdent, c.FldSyntaxExpType,
             c.FldSyntaxEngineCommand, c.FldSyntaxSibExp, c.FldSyntaxScriptTableOffset,
             c.FldSyntaxScriptValue, c.FldSyntaxKidExp, c.FldSyntaxCommand});
}

TEST_F(RecordPagesTest, ShowingRecordsNeverWritesTheMap) {
    MakeMapUnwritable();
    Select({"scripts", "s: calc"});
    Select({"scripts", "s: odd"});
    Select({"globals", "g: x"});
    Select({"globals", "g: none"});
    Select({"scripts", "s: wait", "-32766"});
    Select({"scripts", "s: wait", "-32764"});
    EXPECT_TRUE(shown.empty());
    ExpectUnchanged();
}

}  // namespace
