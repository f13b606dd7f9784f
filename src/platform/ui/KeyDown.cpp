#include "platform/ui/KeyDown.h"

#include <QEvent>
#include <QKeyEvent>
#include <QObject>
#include <QWidget>

namespace platform {

namespace {

constexpr int kReturnCode = 13;
constexpr int kEnterCode = 3;

class KeyDownFilter : public QObject {
public:
    KeyDownFilter(QWidget* field, KeyDownHandler handler)
        : QObject(field), handler_(std::move(handler)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyPress) {
            return handler_(KeyCode(*static_cast<QKeyEvent*>(event)));
        }
        return QObject::eventFilter(watched, event);
    }

private:
    KeyDownHandler handler_;
};

}  // namespace

int KeyCode(const QKeyEvent& event) {
    // Both keys type a carriage return; only the key tells them apart.
    if (event.key() == Qt::Key_Return) {
        return kReturnCode;
    }
    if (event.key() == Qt::Key_Enter) {
        return kEnterCode;
    }
    const QString text = event.text();
    // X11 gives a control chord its control character as its text (Ctrl+C "\x03", Ctrl+M
    // "\r"); such a chord types nothing into a field and must not pass for Enter or Return.
    if (text.isEmpty() || text.at(0).category() == QChar::Other_Control) {
        return 0;
    }
    return static_cast<int>(text.at(0).unicode());
}

void OnKeyDown(QWidget* field, KeyDownHandler handler) {
    field->installEventFilter(new KeyDownFilter(field, std::move(handler)));
}

}  // namespace platform
