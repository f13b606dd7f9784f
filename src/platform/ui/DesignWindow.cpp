#include "platform/ui/DesignWindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFont>
#include <QMenuBar>
#include <QVBoxLayout>

#include <utility>

#include "platform/ui/NamedMenu.h"

namespace platform {

namespace {

// The designs' text size, 10, counts pixels: their captions are measured for text that small.
constexpr int kDesignPixelSize = 10;

// The Jobs of every window, and whether a quit waits for them.
int jobsUnderWay = 0;
bool quitWaiting = false;

}  // namespace

DesignWindow::DesignWindow() : frame_(new QVBoxLayout(this)), content_(new QWidget(this)) {
    setAttribute(Qt::WA_DeleteOnClose);
    frame_->setContentsMargins(0, 0, 0, 0);
    frame_->setSpacing(0);
    // The window's size limits are the content's plus the menu bar.
    frame_->setSizeConstraint(QLayout::SetMinAndMaxSize);
    frame_->addWidget(content_);
    content_->setObjectName(QStringLiteral("content"));
    QFont font = QApplication::font();
    font.setPixelSize(kDesignPixelSize);
    content_->setFont(font);
}

void DesignWindow::SetMenuBar(MenuBarModel* model) {
    menuBar_ = model;
    frame_->setMenuBar(model->CreateMenuBar(this));
}

void DesignWindow::ApplyDesign(const WindowDesign& design) {
    Qt::WindowFlags flags = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                            Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (design.minimiseButton) {
        flags |= Qt::WindowMinimizeButtonHint;
    }
    if (design.maximiseButton) {
        flags |= Qt::WindowMaximizeButtonHint;
    }
    setWindowFlags(flags);
    setWindowTitle(design.title);
    if (design.resizable) {
        content_->setMinimumSize(design.minimum);
        content_->setMaximumSize(design.maximum);
    } else {
        content_->setFixedSize(design.size);
    }
    int barHeight = 0;
    if (QWidget* bar = frame_->menuBar()) {
        barHeight = bar->heightForWidth(design.size.width());
        if (barHeight < 0) {
            barHeight = bar->sizeHint().height();
        }
    }
    resize(design.size.width(), design.size.height() + barHeight);
    frame_->activate();
    placer_ = new ControlPlacer(content_, design.size);
}

MenuItem* DesignWindow::MenuItemNamed(const std::string& name) const {
    return menuBar_ == nullptr ? nullptr : menuBar_->Find(name);
}

void DesignWindow::Show() {
    show();
    raise();
    activateWindow();
}

void DesignWindow::_AddMenuHandler(const std::string& itemName, std::function<bool()> handler) {
    menuHandlers_[itemName] = std::move(handler);
}

bool DesignWindow::HandleMenuItem(const std::string& itemName) {
    auto it = menuHandlers_.find(itemName);
    if (it == menuHandlers_.end()) {
        return false;
    }
    it->second();
    return true;
}

void DesignWindow::closeEvent(QCloseEvent* event) {
    if (jobs_ > 0) {
        closeWaiting_ = true;
        event->ignore();
        return;
    }
    closed_ = true;
    event->accept();
}

DesignWindow::Job::Job(DesignWindow& window) : window_(&window) {
    ++window.jobs_;
    ++jobsUnderWay;
}

DesignWindow::Job::~Job() {
    const bool last = --jobsUnderWay == 0;
    if (window_ != nullptr && --window_->jobs_ == 0 &&
        std::exchange(window_->closeWaiting_, false)) {
        window_->close();
    }
    if (last && std::exchange(quitWaiting, false)) {
        // From the event loop, once the work that held the quit has returned.
        QMetaObject::invokeMethod(
            QCoreApplication::instance(), [] { QCoreApplication::quit(); },
            Qt::QueuedConnection);
    }
}

bool DesignWindow::Job::HoldQuit() {
    quitWaiting = jobsUnderWay > 0;
    return quitWaiting;
}

}  // namespace platform
