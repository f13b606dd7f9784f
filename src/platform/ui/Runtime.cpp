#include "platform/ui/Runtime.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QStandardPaths>
#include <QThread>

#include "platform/Hooks.h"
#include "platform/ui/QtText.h"

namespace platform {

namespace {

// Loops yield per record and per text byte; a turn of the event loop that often would cost
// more than the loop itself, and the eye sees nothing faster than this.
constexpr qint64 kYieldIntervalMs = 15;
constexpr unsigned kYieldPointsPerClockRead = 256;

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
    if (sinceLastTurn.isValid() && sinceLastTurn.elapsed() < kYieldIntervalMs) {
        return;
    }
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    sinceLastTurn.start();
}

}  // namespace platform
