#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QTextDocument>
#include <QThread>

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
};

// What a control shows: a field's text, a pop-up's index.
QString Shown(const QWidget* control) {
    if (const auto* line = qobject_cast<const QLineEdit*>(control)) {
        return line->text();
    }
    if (const auto* popup = qobject_cast<const QComboBox*>(control)) {
        return QString::number(popup->currentIndex());
    }
    return qobject_cast<const QPlainTextEdit*>(control)->toPlainText();
}

// Which field each editor shows is checked with the editors (recordeditors_test.cpp); here the
// pages' own texts, one offset help tag per page, and every field shown from its start. Showing
// writes nothing, though setting a pop-up signals a change: the map is read-only, so an attempt
// would show a message.
TEST_F(RecordPagesTest, EachPageShowsTheSelectedRecord) {
    struct Field {
        QWidget* control;
        QString text;
        QString tip;
    };
    struct Case {
        std::vector<const char*> row;
        int page;
        std::vector<Field> fields;
    };
    const MainWindowControls& c = C();
    const QString body = "\n(begin\n( sleep 30))\n))";
    const int64_t text = map.textOffsets[2];
    const std::vector<Case> cases = {
        {{"scripts", "s: wait"},
         1,
         {{c.FldScriptName, "wait", Tag(map.ScriptRecord(0))},
          {c.FldScriptDeComp, "(script dormant void wait" + body, ""}}},
        // Codes outside the pop-ups' lists show no selection and stay in the map.
        {{"scripts", "s: odd"},
         1,
         {{c.PopScriptType, "-1", Tag(map.ScriptRecord(6) + 32)},
          {c.PopScriptReturn, "-1", Tag(map.ScriptRecord(6) + 34)},
          {c.FldScriptDeComp, "(script   odd" + body, ""}}},
        {{"globals", "g: on"},
         2,
         {{c.FldGlobalName, "on", Tag(map.GlobalRecord(0))},
          {c.FldGlobalDecomp, "(global boolean on true)", ""}}},
        {{"scripts", "s: wait", "-32766"},
         3,
         {{c.FldSyntaxExpIdent, "-32766", Tag(map.SyntaxRecord(2))},
          {c.FldSyntaxEngineCommand, "sleep", "Result of the Command Database"},
          {c.FldSyntaxCommand, "sleep", Tag(text)}}},
    };
    MakeMapUnwritable();
    c.StaticTimeStamp->setText("");
    for (const Case& row : cases) {
        SCOPED_TRACE(row.row.back());
        Select(row.row);
        EXPECT_EQ(c.PageEditor->Value(), row.page);
        for (const Field& f : row.fields) {
            EXPECT_EQ(Shown(f.control), f.text) << f.control->objectName().toStdString();
            EXPECT_EQ(f.control->toolTip(), f.tip) << f.control->objectName().toStdString();
        }
        QWidget* page = c.PageEditor->currentWidget();
        for (const QLineEdit* line : page->findChildren<QLineEdit*>()) {
            EXPECT_EQ(line->cursorPosition(), 0) << line->objectName().toStdString();
        }
        for (const QPlainTextEdit* multiLine : page->findChildren<QPlainTextEdit*>()) {
            EXPECT_EQ(multiLine->textCursor().position(), 0);
        }
    }
    EXPECT_TRUE(QRegularExpression("^[0-9]+ ticks$").match(c.StaticTimeStamp->text()).hasMatch())
        << c.StaticTimeStamp->text().toStdString();
    EXPECT_TRUE(shown.empty());
    ExpectUnchanged();
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
            const QString returned = C().FldScriptDeComp->toPlainText();

            Prefernces::ScriptPrinting = 2;
            Select({"globals"});
            // Slow yields make the field take the pieces in several parts.
            platform::SetYieldHook([] { QThread::msleep(4); });
            Select({"scripts", row.toLatin1().constData()});
            platform::SetYieldHook(nullptr);
            EXPECT_EQ(C().FldScriptDeComp->toPlainText() + "))", returned);
            EXPECT_EQ(C().FldScriptDeComp->textCursor().position(), 0);
        }
        if (style == 1) {
            // The order walk yields once per node, so its pieces came in several parts.
            EXPECT_GT(parts, scripts.size());
        }
    }
    QObject::disconnect(count);
}

}  // namespace
