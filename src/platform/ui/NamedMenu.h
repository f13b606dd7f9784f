#pragma once

#include <QKeySequence>
#include <QObject>
#include <QPointer>

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class QAction;
class QMenu;
class QMenuBar;

namespace platform {

class DesignWindow;
class MenuBarModel;

// An item of a menu bar built in code, found by its Name. A text of "-" makes a separator;
// "&" marks the access key. A shortcut is written "Cmd+" and a key, which is Ctrl here.
class MenuItem {
public:
    MenuItem(std::string name, bool autoEnable, std::string text, std::string shortcut = {});
    ~MenuItem();
    MenuItem(const MenuItem&) = delete;
    MenuItem& operator=(const MenuItem&) = delete;

    const std::string& Name() const { return name_; }
    const std::string& Text() const { return text_; }
    const std::string& KeyboardShortcut() const { return shortcut_; }
    // Items that enable themselves are always enabled; the others change only when code says.
    bool AutoEnable() const { return autoEnable_; }
    bool Enabled() const;
    void SetEnabled(bool enabled);

    // The one action every window's view of the bar shows for this item.
    QAction* Action() const { return action_; }
    // The item's menu; null until a child is appended.
    QMenu* Menu() const { return menu_; }

    void Append(std::unique_ptr<MenuItem> child);
    const std::vector<std::unique_ptr<MenuItem>>& Children() const { return children_; }
    // The direct child of that name, or null.
    MenuItem* Child(std::string_view name) const;
    // This item or the first item below it with that name, or null.
    MenuItem* Find(std::string_view name);

    // What choosing the item does when no window handles it: the framework's own commands.
    void SetFrameworkAction(std::function<void()> action) { frameworkAction_ = std::move(action); }

private:
    friend class MenuBarModel;

    std::string name_;
    bool autoEnable_;
    std::string text_;
    std::string shortcut_;
    QAction* action_;
    QMenu* menu_ = nullptr;
    std::vector<std::unique_ptr<MenuItem>> children_;
    std::function<void()> frameworkAction_;
    MenuBarModel* bar_ = nullptr;
};

// The key sequence of a shortcut written "Cmd+" and a key.
QKeySequence ToKeySequence(const std::string& shortcut);

// A menu bar built in code. One instance can be shown by several windows: they all show the
// same actions, so an item's state is the same in each. Choosing an item runs the handler of
// that name of the window in front, else the item's framework action.
class MenuBarModel : public QObject {
    Q_OBJECT

public:
    MenuBarModel();
    ~MenuBarModel() override;

    void Append(std::unique_ptr<MenuItem> item);
    const std::vector<std::unique_ptr<MenuItem>>& Items() const { return items_; }
    // The top-level item of that name, or null.
    MenuItem* Child(std::string_view name) const;
    // The first item of that name anywhere in the tree, or null.
    MenuItem* Find(std::string_view name) const;

    // A view of this bar for a window; the window owns it.
    QMenuBar* CreateMenuBar(DesignWindow* window);

    // Runs the chosen item as the window in front would.
    void Choose(MenuItem& item);
    // Raises the enabling event of the window in front.
    void EnableMenuItems();

private:
    friend class MenuItem;

    void Adopt(MenuItem& item);
    // The windows that may handle a choice, the one in front first.
    std::vector<DesignWindow*> HandlingWindows() const;

    std::vector<std::unique_ptr<MenuItem>> items_;
    std::vector<QPointer<DesignWindow>> windows_;
    std::vector<QKeySequence> boundKeys_;
};

// The one instance of a menu bar class that every window showing it shares: made on first use,
// released by the application before it goes. The bar class befriends it for its constructor.
template <typename Bar>
class SharedMenuBar {
public:
    static Bar& Instance() {
        if (slot_ == nullptr) {
            slot_ = new Bar();
        }
        return *slot_;
    }
    static void Release() {
        delete slot_;
        slot_ = nullptr;
    }

private:
    static inline Bar* slot_ = nullptr;
};

}  // namespace platform
