#include "mainwindow/ui/App.h"

#include <QTimer>

#include "extraction/ui/MenuBar2.h"
#include "extraction/ui/ThreadExtractAll.h"
#include "mainwindow/ui/MainWindow.h"
#include "mainwindow/ui/MenuBar1.h"
#include "platform/Hooks.h"
#include "platform/ui/DesignWindow.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/Runtime.h"
#include "preferences/Prefernces.h"
#include "preferences/ui/PreferncesMain.h"

App::App(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName(QStringLiteral("Morvane"));
    menuBar_ = &MenuBar1::Instance();
}

App::~App() {
    ThreadExtractAll::StopAll();
    // Windows and the shared menus are widgets: they must go while the application still
    // stands, the windows first since their menu bars show the shared actions.
    for (QWidget* widget : topLevelWidgets()) {
        if (qobject_cast<platform::DesignWindow*>(widget) != nullptr) {
            delete widget;
        }
    }
    MenuBar1::Release();
    MenuBar2::Release();
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
    MainWindow::Instance()->MapFolder = Prefernces::MapFolder;
}
