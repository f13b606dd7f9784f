#include "mainwindow/ui/AboutWin.h"

#include <QFrame>
#include <QLabel>

namespace {

platform::SharedWindow<AboutWin>& Slot() {
    static platform::SharedWindow<AboutWin> slot;
    return slot;
}

QString Credits() {
    return QStringLiteral(
               "Morvane %1.%2\n\n"
               "Reads the scripts of a game's level maps, shows them as script "
               "source and lets you edit them in place.\n\n"
               "Built with Qt %3.")
        .arg(MORVANE_VERSION_MAJOR)
        .arg(MORVANE_VERSION_MINOR)
        .arg(QStringLiteral(QT_VERSION_STR));
}

}  // namespace

AboutWin* AboutWin::Instance() {
    return Slot().Get([] { return new AboutWin(); });
}

AboutWin* AboutWin::Existing() {
    return Slot().Existing();
}

AboutWin::AboutWin() {
    setObjectName(QStringLiteral("AboutWin"));
    Layout();
    CreateControls();
}

void AboutWin::Layout() {
    platform::WindowDesign design;
    design.title = QStringLiteral("About");
    design.size = QSize(500, 325);
    design.resizable = false;
    ApplyDesign(design);
}

void AboutWin::CreateControls() {
    _CreateControls0();
}

void AboutWin::_CreateControls0() {
    using platform::LockNone;
    auto* canvas = AddControl<QWidget>(nullptr, "Canvas1", {0, 0, 325, 325}, LockNone);
    canvas->setAutoFillBackground(true);

    auto* heading = AddControl<QLabel>(nullptr, "StaticText1", {327, 43, 173, 20}, LockNone);
    heading->setText(QStringLiteral("Credits"));
    heading->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);

    auto* line = AddControl<QFrame>(nullptr, "Separator1", {327, 65, 173, 4}, LockNone);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);

    auto* credits = AddControl<QLabel>(nullptr, "StaticText2", {327, 75, 173, 185}, LockNone);
    credits->setText(Credits());
    credits->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    credits->setWordWrap(true);

    auto* closing = AddControl<QFrame>(credits, "Separator2", {327, 256, 173, 4}, LockNone);
    closing->setFrameShape(QFrame::HLine);
    closing->setFrameShadow(QFrame::Sunken);
}
