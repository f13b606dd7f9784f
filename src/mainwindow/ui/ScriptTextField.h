#pragma once

#include <QElapsedTimer>

#include <string>

#include "mainwindow/RecordPages.h"

class QPlainTextEdit;

// The script page's text field as the printer sees it. Streamed pieces are gathered and added
// to the widget at most every few milliseconds and when the printing ends: a long script
// arrives in tens of thousands of pieces, and one widget insert per piece would cost far more
// than the printing itself.
//
// Adding text to a paragraph lays the whole paragraph out again, so a batch also waits until
// it is as long as the paragraph it extends. A script printed as one long line then costs time
// in proportion to its length; adding at fixed intervals would cost its square.
class ScriptTextField : public TextField {
public:
    explicit ScriptTextField(QPlainTextEdit& field);
    ~ScriptTextField() override;
    ScriptTextField(const ScriptTextField&) = delete;
    ScriptTextField& operator=(const ScriptTextField&) = delete;

    void SetText(const std::string& text) override;
    void AppendText(const std::string& piece) override;
    // Adds the gathered pieces to the widget.
    void Flush();

private:
    QPlainTextEdit& field_;
    std::string pending_;
    size_t lastParagraph_ = 0;  // bytes of the widget's last paragraph
    QElapsedTimer sinceFlush_;
};
