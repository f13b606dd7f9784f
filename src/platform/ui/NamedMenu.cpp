#include "platform/ui/NamedMenu.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>

#include <algorithm>

#include "platform/ui/DesignWindow.h"
#include "platform/ui/QtText.h"

namespace platform {

MenuItem::MenuItem(std::string name, bool autoEnable, std::string text, std::string shortcut)
    : name_(std::move(name)),
      autoEnable_(autoEnable),
      text_(std::move(text)),
      shortcut_(std::move(shortcut)),
      action_(new QAction(FromBytes(text_))) {
    action_->setObjectName(FromBytes(name_));
    if (text_ == "-") {
        // Some styles print a separator's text on its line.
        action_->setText(QString());
        action_->setSeparator(true);
    }
}

MenuItem::~MenuItem() {
    children_.clear();
    delete action_;
    delete menu_;
}

bool MenuItem::Enabled() const {
    return action_->isEnabled();
}

void MenuItem::SetEnabled(bool enabled) {
    action_->setEnabled(enabled);
}

void MenuItem::Append(std::unique_ptr<MenuItem> child) {
    if (menu_ == nullptr) {
        menu_ = new QMenu(FromBytes(text_));
        menu_->setObjectName(FromBytes(name_));
        action_->setMenu(menu_);
    }
    menu_->addAction(child->action_);
    MenuItem& adopted = *child;
    children_.push_back(std::move(child));
    if (bar_ != nullptr) {
        bar_->Adopt(adopted);
    }
}

MenuItem* MenuItem::Child(std::string_view name) const {
    for (const auto& child : children_) {
        if (child->name_ == name) {
            return child.get();
        }
    }
    return nullptr;
}

MenuItem* MenuItem::Find(std::string_view name) {
    if (name_ == name) {
        return this;
    }
    for (const auto& child : children_) {
        if (MenuItem* found = child->Find(name)) {
            return found;
        }
    }
    return nullptr;
}

QKeySequence ToKeySequence(const std::string& shortcut) {
    QString text = FromBytes(shortcut);
    text.replace(QStringLiteral("Cmd+"), QStringLiteral("Ctrl+"), Qt::CaseInsensitive);
    return QKeySequence::fromString(text.toUpper(), QKeySequence::PortableText);
}

MenuBarModel::MenuBarModel() = default;

MenuBarModel::~MenuBarModel() {
    items_.clear();
}

void MenuBarModel::Append(std::unique_ptr<MenuItem> item) {
    MenuItem& adopted = *item;
    items_.push_back(std::move(item));
    Adopt(adopted);
}

MenuItem* MenuBarModel::Child(std::string_view name) const {
    for (const auto& item : items_) {
        if (item->Name() == name) {
            return item.get();
        }
    }
    return nullptr;
}

MenuItem* MenuBarModel::Find(std::string_view name) const {
    for (const auto& item : items_) {
        if (MenuItem* found = item->Find(name)) {
            return found;
        }
    }
    return nullptr;
}

void MenuBarModel::Adopt(MenuItem& item) {
    item.bar_ = this;
    if (!item.shortcut_.empty()) {
        const QKeySequence keys = ToKeySequence(item.shortcut_);
        // Two actions on one key make Qt run neither, so the first item to claim a key gets
        // it; a later one only shows the key beside its text.
        if (std::find(boundKeys_.begin(), boundKeys_.end(), keys) == boundKeys_.end()) {
            boundKeys_.push_back(keys);
            item.action_->setShortcut(keys);
        } else {
            item.action_->setText(FromBytes(item.text_) + QLatin1Char('\t') +
                                  keys.toString(QKeySequence::NativeText));
        }
    }
    MenuItem* chosen = &item;
    connect(item.action_, &QAction::triggered, this, [this, chosen] {
        if (chosen->Menu() == nullptr) {
            Choose(*chosen);
        }
    });
    for (const auto& child : item.children_) {
        Adopt(*child);
    }
}

QMenuBar* MenuBarModel::CreateMenuBar(DesignWindow* window) {
    auto* bar = new QMenuBar(window);
    bar->setObjectName(objectName());
    for (const auto& item : items_) {
        bar->addAction(item->Action());
        if (item->Menu() != nullptr) {
            connect(item->Menu(), &QMenu::aboutToShow, this, &MenuBarModel::EnableMenuItems,
                    Qt::UniqueConnection);
        }
    }
    std::erase_if(windows_, [](const QPointer<DesignWindow>& shown) { return shown.isNull(); });
    windows_.emplace_back(window);
    return bar;
}

std::vector<DesignWindow*> MenuBarModel::HandlingWindows() const {
    std::vector<DesignWindow*> windows;
    auto add = [&windows](DesignWindow* window) {
        if (window != nullptr && window->IsOpen() &&
            std::find(windows.begin(), windows.end(), window) == windows.end()) {
            windows.push_back(window);
        }
    };
    auto* front = qobject_cast<DesignWindow*>(QApplication::activeWindow());
    add(front);
    // A window in front that shows this bar handles its items alone: an item it has no
    // handler for does nothing there, not another window's action.
    if (front != nullptr && std::find(windows_.begin(), windows_.end(), front) != windows_.end()) {
        return windows;
    }
    for (auto it = windows_.rbegin(); it != windows_.rend(); ++it) {
        add(it->data());
    }
    return windows;
}

void MenuBarModel::Choose(MenuItem& item) {
    for (DesignWindow* window : HandlingWindows()) {
        if (window->HandleMenuItem(item.Name())) {
            return;
        }
    }
    if (item.frameworkAction_) {
        item.frameworkAction_();
    }
}

void MenuBarModel::EnableMenuItems() {
    const std::vector<DesignWindow*> windows = HandlingWindows();
    if (!windows.empty()) {
        windows.front()->Event_EnableMenuItems();
    }
}

}  // namespace platform
