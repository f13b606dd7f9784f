#include "mainwindow/ui/ScriptTextField.h"

#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTextDocument>

#include "platform/Text.h"
#include "platform/ui/QtText.h"
#include "platform/ui/Runtime.h"

ScriptTextField::ScriptTextField(QPlainTextEdit& field) : field_(field) {
    sinceFlush_.start();
}

ScriptTextField::~ScriptTextField() {
    Flush();
}

namespace {

// Bytes after the last line end of `text`, or -1 when it has none.
int64_t AfterLastLineEnd(const std::string& text) {
    const size_t end = text.rfind(platform::EndOfLine);
    return end == std::string::npos
               ? -1
               : static_cast<int64_t>(text.size() - end - platform::EndOfLine.size());
}

}  // namespace

void ScriptTextField::SetText(const std::string& text) {
    pending_.clear();
    field_.setPlainText(platform::FromBytes(text));
    const int64_t last = AfterLastLineEnd(text);
    lastParagraph_ = last < 0 ? text.size() : static_cast<size_t>(last);
    sinceFlush_.start();
}

void ScriptTextField::AppendText(const std::string& piece) {
    pending_ += piece;
    if (pending_.size() >= lastParagraph_ &&
        sinceFlush_.elapsed() >= platform::kEventLoopIntervalMs) {
        Flush();
    }
}

void ScriptTextField::Flush() {
    if (!pending_.empty()) {
        // Inserted at the end as it stands: appending a paragraph would add a line break.
        QTextCursor cursor(field_.document());
        cursor.movePosition(QTextCursor::End);
        cursor.insertText(platform::FromBytes(pending_));
        const int64_t last = AfterLastLineEnd(pending_);
        lastParagraph_ = last < 0 ? lastParagraph_ + pending_.size() : static_cast<size_t>(last);
        pending_.clear();
    }
    // Counted from the end of the insert: a long one must not leave the next piece due at once.
    sinceFlush_.start();
}
