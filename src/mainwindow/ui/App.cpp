#include "mainwindow/ui/App.h"

#include <QEvent>
#include <QPointer>
#include <QTimer>

#include <vector>

#include "extraction/ui/MenuBar2.h"
#include "extraction/ui/ThreadExtractAll.h"
#include "mainwindow/ui/MainWindow.h"
#include "mainwindow/ui/MenuBar1.h"
#include "platform/Hooks.h"
#include "platform/ui/CloseRequests.h"
#include "platform/ui/DesignWindow.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/Runtime.h"
#include "preferences/Prefernces.h"
#include "preferences/ui/PreferncesMain.h"

App::App(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName(QStringLiteral("Morvane"));
    menuBar_ = &MenuBar1::Instance();
    // Qt would end the application when the last visible window closes, while an Extract All
    // run still waits to show its window; the application decides that itself.
    setQuitOnLastWindowClosed(false);
    installEventFilter(this);
    closeRequests_ = std::make_unique<platform::CloseRequests>();
}

App::~App() {
    ThreadExtractAll::StopAll();
    // Windows and the shared menus are widgets: they must go while the application still
    // stands, the windows first since their menu bars show the shared actions.
    DeleteWindows();
    MenuBar1::Release();
    MenuBar2::Release();
}

void App::DeleteWindows() {
    // A window takes its menus and controls with it, some of them top-level widgets too: every
    // window is picked before any is deleted, and each is deleted only while it still stands.
    std::vector<QPointer<platform::DesignWindow>> windows;
    for (QWidget* widget : topLevelWidgets()) {
        if (auto* window = qobject_cast<platform::DesignWindow*>(widget)) {
            windows.emplace_back(window);
        }
    }
    for (const QPointer<platform::DesignWindow>& window : windows) {
        delete window.data();
    }
}

bool App::event(QEvent* event) {
    if (event->type() != QEvent::Quit) {
        return QApplication::event(event);
    }
    if (platform::DesignWindow::Job::HoldQuit()) {
        event->ignore();
        return true;
    }
    // No window is at work, so none refuses its close; Qt's own quit would stop at the first
    // that did, and which one that is depends on the order of its window list.
    closeAllWindows();
    return QCoreApplication::event(event);
}

bool App::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Close && qobject_cast<platform::DesignWindow*>(watched)) {
        // Looked at once the window has gone from the screen.
        QMetaObject::invokeMethod(this, &App::QuitWhenNothingIsLeft, Qt::QueuedConnection);
    }
    return QApplication::eventFilter(watched, event);
}

void App::QuitWhenNothingIsLeft() {
    if (ThreadExtractAll::Running() > 0) {
        return;
    }
    for (QWidget* widget : topLevelWidgets()) {
        auto* window = qobject_cast<platform::DesignWindow*>(widget);
        if (window != nullptr && window->IsOpen() && window->isVisible()) {
            return;
        }
    }
    quit();
}

App* App::Instance() {
    return qobject_cast<App*>(QCoreApplication::instance());
}

int32_t App::MajorVersion() const {
    return MORVANE_VERSION_MAJOR;
}

int32_t App::MinorVersion() const {
    return MORVANE_VERSION_MINOR;
}

void App::Start() {
    platform::UseConfigurationFolder();
    platform::SetMessageHook(platform::ShowMessage);
    platform::SetYieldHook(platform::YieldToEventLoop);
    MainWindow::Instance();
    QTimer::singleShot(0, this, &App::Event_Open);
}

void App::Event_Open() {
    Prefernces::LoadPreferncesMain();
    if (MainWindow* window = MainWindow::Existing()) {
        window->MapFolder = Prefernces::MapFolder;
    }
}
