#pragma once

#include <QPointer>
#include <QRect>
#include <QString>
#include <QWidget>

#include <functional>
#include <map>
#include <string>

#include "platform/ui/ControlPlacer.h"

class QCloseEvent;
class QVBoxLayout;

namespace platform {

class MenuBarModel;
class MenuItem;

// A window's design properties.
struct WindowDesign {
    QString title;
    QSize size;
    QSize minimum{64, 64};
    QSize maximum{32000, 32000};
    bool resizable = true;
    bool minimiseButton = true;
    bool maximiseButton = false;
};

// A window laid out from a design: controls sit at fixed places in its content area (below
// its menu bar, when it shows one) and follow their edge locks when it is resized. Menu items
// are handled per window, by item name. A closed window is destroyed.
class DesignWindow : public QWidget {
    Q_OBJECT

public:
    QWidget* Content() const { return content_; }

    template <typename T = QWidget>
    T* Control(const QString& name) const {
        return content_->findChild<T*>(name);
    }

    // Held by work that uses the window, or the map it shows, while it lets the event loop run
    // (a yield, a dialog, a message). A close asked for meanwhile is held back until the last
    // such work has ended and is carried out then, so nothing frees the window under its work.
    class Job {
    public:
        explicit Job(DesignWindow& window);
        ~Job();
        Job(const Job&) = delete;
        Job& operator=(const Job&) = delete;

        // True, and the application's quit asked for again once the last Job of every window
        // has ended, when some window holds one now; false, holding nothing back, when none
        // does.
        static bool HoldQuit();

    private:
        QPointer<DesignWindow> window_;
    };

    // Whether work holds a Job of the window now.
    bool AtWork() const { return jobs_ > 0; }

    // Makes the window visible and brings it to the front.
    void Show();
    // False from the moment the window is closed (not while a close waits for a Job).
    bool IsOpen() const { return !closed_; }

    MenuBarModel* MenuBar() const { return menuBar_; }
    // The item of that name anywhere in the window's menu bar; null without one.
    MenuItem* MenuItemNamed(const std::string& name) const;

    // Registers what choosing the item of that name does while this window is in front.
    void _AddMenuHandler(const std::string& itemName, std::function<bool()> handler);
    // Runs this window's handler for the item; false when it has none.
    bool HandleMenuItem(const std::string& itemName);
    // Raised before a menu of the window's bar opens, to bring the items' states up to date.
    virtual void Event_EnableMenuItems() {}

protected:
    DesignWindow();

    // Shows the bar above the content area; call before ApplyDesign.
    void SetMenuBar(MenuBarModel* model);
    void ApplyDesign(const WindowDesign& design);

    // Creates a control of type T under `parent` (the content area when null), named `name`,
    // at a rectangle relative to the content area.
    template <typename T, typename... Args>
    T* AddControl(QWidget* parent, const char* name, const QRect& design, Locks locks,
                  Args&&... args) {
        T* control = new T(parent != nullptr ? parent : content_, std::forward<Args>(args)...);
        control->setObjectName(QString::fromLatin1(name));
        placer_->Place(control, design, locks);
        return control;
    }

    void closeEvent(QCloseEvent* event) override;

private:
    QVBoxLayout* frame_;
    QWidget* content_;
    ControlPlacer* placer_ = nullptr;
    MenuBarModel* menuBar_ = nullptr;
    std::map<std::string, std::function<bool()>> menuHandlers_;
    bool closed_ = false;
    int jobs_ = 0;
    bool closeWaiting_ = false;
};

// The one open window of a class: made on first use, and again after it has been closed. A new
// window is shown once it is complete.
template <typename W>
class SharedWindow {
public:
    template <typename Make>
    W* Get(Make make) {
        if (Existing() == nullptr) {
            window_ = make();
            window_->show();
        }
        return window_.data();
    }

    W* Existing() const {
        return window_.isNull() || !window_->IsOpen() ? nullptr : window_.data();
    }

private:
    QPointer<W> window_;
};

}  // namespace platform
