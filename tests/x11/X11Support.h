#pragma once

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <QWidget>

#include <xcb/xcb.h>
#include <xcb/xtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <utility>

#include "RecordMap.h"
#include "UiTestSupport.h"
#include "mainwindow/ui/MainWindow.h"
#include "platform/ui/Runtime.h"

namespace x11test {

constexpr xcb_keysym_t kReturnKey = 0xff0d;

// A second client of the X server, as a window manager is: it asks windows to close the way a
// close box does, with a WM_DELETE_WINDOW message.
class WindowManager {
public:
    WindowManager() : connection_(xcb_connect(nullptr, nullptr)) {
        protocols_ = Atom("WM_PROTOCOLS");
        deleteWindow_ = Atom("WM_DELETE_WINDOW");
    }
    ~WindowManager() { xcb_disconnect(connection_); }
    WindowManager(const WindowManager&) = delete;
    WindowManager& operator=(const WindowManager&) = delete;

    // Sends the request and returns once the server has passed it on.
    void AskToClose(const QWidget& window) {
        ASSERT_EQ(xcb_connection_has_error(connection_), 0);
        xcb_client_message_event_t message;
        std::memset(&message, 0, sizeof message);
        message.response_type = XCB_CLIENT_MESSAGE;
        message.format = 32;
        message.window = static_cast<xcb_window_t>(window.winId());
        message.type = protocols_;
        message.data.data32[0] = deleteWindow_;
        message.data.data32[1] = XCB_CURRENT_TIME;
        xcb_send_event(connection_, 0, message.window, XCB_EVENT_MASK_NO_EVENT,
                       reinterpret_cast<const char*>(&message));
        free(xcb_get_input_focus_reply(connection_, xcb_get_input_focus(connection_), nullptr));
    }

    // Presses and releases a key as the keyboard does, into the window that has the focus, and
    // returns once the server has passed both on.
    void TypeKey(xcb_keysym_t keysym) {
        const xcb_keycode_t key = KeyCode(keysym);
        ASSERT_NE(key, 0);
        xcb_test_fake_input(connection_, XCB_KEY_PRESS, key, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
        xcb_test_fake_input(connection_, XCB_KEY_RELEASE, key, XCB_CURRENT_TIME, XCB_NONE, 0, 0,
                            0);
        free(xcb_get_input_focus_reply(connection_, xcb_get_input_focus(connection_), nullptr));
    }

private:
    // The first key that types `keysym` unshifted; 0 when none does.
    xcb_keycode_t KeyCode(xcb_keysym_t keysym) {
        const xcb_setup_t* setup = xcb_get_setup(connection_);
        const int count = setup->max_keycode - setup->min_keycode + 1;
        xcb_get_keyboard_mapping_reply_t* mapping = xcb_get_keyboard_mapping_reply(
            connection_,
            xcb_get_keyboard_mapping(connection_, setup->min_keycode,
                                     static_cast<uint8_t>(count)),
            nullptr);
        xcb_keycode_t found = 0;
        if (mapping != nullptr) {
            const xcb_keysym_t* keysyms = xcb_get_keyboard_mapping_keysyms(mapping);
            for (int i = 0; i < count && found == 0; ++i) {
                if (keysyms[i * mapping->keysyms_per_keycode] == keysym) {
                    found = static_cast<xcb_keycode_t>(setup->min_keycode + i);
                }
            }
        }
        free(mapping);
        return found;
    }

    xcb_atom_t Atom(const char* name) {
        xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
            connection_, xcb_intern_atom(connection_, 0, std::strlen(name), name), nullptr);
        const xcb_atom_t atom = reply != nullptr ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
        free(reply);
        return atom;
    }

    xcb_connection_t* connection_;
    xcb_atom_t protocols_ = XCB_ATOM_NONE;
    xcb_atom_t deleteWindow_ = XCB_ATOM_NONE;
};

// Answers every message box the program shows with the Return key, typed once the box has the
// keyboard, as a user would, and keeps their texts. A box that never gets the keyboard fails
// the case and is answered by a click, so that the case ends.
class BoxAnswerer {
public:
    explicit BoxAnswerer(WindowManager& keyboard) : keyboard_(keyboard) {
        timer_.setInterval(kTickMs);
        QObject::connect(&timer_, &QTimer::timeout, [this] { Tick(); });
        timer_.start();
    }

    QStringList texts;
    // Done when a box shows, before it is answered at a later look.
    std::function<void()> whenShown;

private:
    static constexpr int kTickMs = 100;
    static constexpr int kPatienceTicks = 50;

    void Tick() {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr || !box->isVisible()) {
            return;
        }
        if (box != box_) {
            box_ = box;
            texts.append(box->text());
            typed_ = false;
            ticks_ = 0;
            if (whenShown) {
                whenShown();
                return;
            }
        }
        if (!typed_ && QApplication::activeWindow() == box) {
            // Once only: a second Return would reach the window below once the box is gone.
            typed_ = true;
            keyboard_.TypeKey(kReturnKey);
        } else if (++ticks_ == kPatienceTicks) {
            ADD_FAILURE() << "a message box did not take the Return key: "
                          << box->text().toStdString();
            box->button(QMessageBox::Ok)->click();
        }
    }

    WindowManager& keyboard_;
    QTimer timer_;
    QPointer<QMessageBox> box_;
    bool typed_ = false;
    int ticks_ = 0;
};

// Runs an action at one yield point of the core, which otherwise yields as the application does.
class YieldPoint {
public:
    static void At(int point, std::function<void()> action) {
        Get() = {point, std::move(action)};
        platform::SetYieldHook(Yield);
    }
    static bool Passed() { return Get().point == 0; }

private:
    struct State {
        int point = 0;
        std::function<void()> action;
    };
    static State& Get() {
        static State state;
        return state;
    }
    static void Yield() {
        State& state = Get();
        if (state.point > 0 && --state.point == 0) {
            std::exchange(state.action, nullptr)();
        }
        platform::YieldToEventLoop();
    }
};

// The main window on screen, with the largest test map open, and the program's own message
// boxes, shown on screen and answered by a user.
class LargeMapTest : public uitest::MapWindowTest {
protected:
    void SetUp() override {
        uitest::MapWindowTest::SetUp();
        platform::SetModalHook(nullptr);
        static const testmap::BuiltMap largest = testmap::Build(testmap::MaximalMap());
        path = TempPath("large.map");
        ASSERT_TRUE(largest.Save(path));
        window->Show();
        uitest::OpenThroughTheMenu(*window, path);
        ASSERT_EQ(window->State().f, path);
    }
    void TearDown() override {
        platform::SetYieldHook(nullptr);
        uitest::MapWindowTest::TearDown();
    }

    // Runs the application's event loop, with `start` called first thing in it; true when the
    // application ended (within a time that no case here comes near).
    static bool RunUntilTheApplicationEnds(const std::function<void()>& start) {
        QTimer limit;
        limit.setSingleShot(true);
        QObject::connect(&limit, &QTimer::timeout, [] { QCoreApplication::exit(1); });
        limit.start(30000);
        QTimer::singleShot(0, start);
        return QCoreApplication::exec() == 0;
    }

    WindowManager manager;
    BoxAnswerer boxes{manager};
};

}  // namespace x11test
