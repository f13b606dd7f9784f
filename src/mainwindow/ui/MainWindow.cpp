#include "mainwindow/ui/MainWindow.h"

#include <QPointer>

MainWindow* MainWindow::Instance() {
    static QPointer<MainWindow> instance;
    if (instance.isNull()) {
        instance = new MainWindow();
        instance->setAttribute(Qt::WA_DeleteOnClose);
        instance->show();
    }
    return instance.data();
}

MainWindow::MainWindow() {
    Layout();
}

void MainWindow::Layout() {
    setWindowTitle("Morvane");
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                   Qt::WindowMinimizeButtonHint);
    setMinimumSize(700, 64);
    setMaximumSize(700, 32000);
    resize(700, 622);
}
