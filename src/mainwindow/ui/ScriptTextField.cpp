#include "mainwindow/ui/ScriptTextField.h"

#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTextDocument>

#include "platform/ui/QtText.h"
#include "platform/ui/Runtime.h"

ScriptTextField::ScriptTextField(QPlainTextEdit& field) : field_(field) {
    sinceFlush_.start();
}

ScriptTextField::~ScriptTextField() {
    Flush();
}

void ScriptTextField::SetText(const std::string& text) {
    pending_.clear();
    field_.setPlainText(platform::FromBytes(text));
    sinceFlush_.start();
}

void ScriptTextField::AppendText(const std::string& piece) {
    pending_ += piece;
    if (sinceFlush_.elapsed() >= platform::kEventLoopIntervalMs) {
        Flush();
    }
}

void ScriptTextField::Flush() {
    sinceFlush_.start();
    if (pending_.empty()) {
        return;
    }
    // Inserted at the end as it stands: appending a paragraph would add a line break.
    QTextCursor cursor(field_.document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(platform::FromBytes(pending_));
    pending_.clear();
}
