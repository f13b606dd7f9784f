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
    if (sinceLastTurn.isValid() && sinceLastTurn.elapsed() < kEventLoopIntervalMs) {
        return;
    }
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    sinceLastTurn.start();
}

}  // namespace platform
