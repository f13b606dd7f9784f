#include "platform/ui/Runtime.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEvent>
#include <QPointer>
#include <QStandardPaths>
#include <QThread>
#include <QWidget>

#include "platform/Hooks.h"
#include "platform/ui/QtText.h"

namespace platform {

namespace {

constexpr unsigned kYieldPointsPerClockRead = 256;

// Drops user input for as long as it stands. Qt's own way to hold input back during a turn of
// the event loop holds the window system's close requests as well, and on X11 hands them on
// only when some later event arrives, often when a modal message already blocks their window.
class InputGate : public QObject {
public:
    InputGate() : modal_(QApplication::activeModalWidget()) {
        QCoreApplication::instance()->installEventFilter(this);
    }
    ~InputGate() override { QCoreApplication::instance()->removeEventFilter(this); }
    InputGate(const InputGate&) = delete;
    InputGate& operator=(const InputGate&) = delete;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        const bool input = event->isInputEvent() || event->type() == QEvent::Shortcut ||
                           event->type() == QEvent::InputMethod;
        // A message box that something run in this turn shows takes its own input.
        return input && QApplication::activeModalWidget() == modal_;
    }

private:
    QPointer<QWidget> modal_;
};

}  // namespace

std::string UseConfigurationFolder() {
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    QDir().mkpath(folder);
    SetDefaultFolder(PathToBytes(folder));
    return DefaultFolder();
}

void YieldToEventLoop() {
    // Looking at the thread or the clock at every yield point would cost more than the work
    // between them, so only every so many points are looked at.
    thread_local unsigned calls = 0;
    if (++calls % kYieldPointsPerClockRead != 0) {
        return;
    }
    QCoreApplication* app = QCoreApplication::instance();
    if (app == nullptr || QThread::currentThread() != app->thread()) {
        return;
    }
    static QElapsedTimer sinceLastTurn;
    if (sinceLastTurn.isValid() && sinceLastTurn.elapsed() < kEventLoopIntervalMs) {
        return;
    }
    {
        const InputGate gate;
        QCoreApplication::processEvents();
    }
    sinceLastTurn.start();
}

}  // namespace platform
