#pragma once

#include <QApplication>

#include <cstdint>
#include <memory>

class MenuBar1;

namespace platform {
class CloseRequests;
}

// The application object: it carries the main menu bar and the version numbers that stamp the
// preferences file, and its open event loads the preferences.
class App : public QApplication {
    Q_OBJECT

public:
    // Creates the application with the shared main menu bar.
    App(int& argc, char** argv);
    ~App() override;

    // The registered application object.
    static App* Instance();

    int32_t MajorVersion() const;
    int32_t MinorVersion() const;
    MenuBar1& MenuBar() const { return *menuBar_; }

    // The rest of start-up before the event loop: the configuration folder and the core's
    // hooks, then the main window. The open event is queued so that it runs first thing in
    // the event loop, with the main window already on screen.
    void Start();

    void Event_Open();

    // Deletes every window while the application still stands.
    static void DeleteWindows();

protected:
    // A quit (File > Quit, or the window system's) waits for the work under way in any window,
    // then ends the application whatever windows are open.
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Ends the application when no window is open and no run is under way.
    void QuitWhenNothingIsLeft();

    MenuBar1* menuBar_;
    std::unique_ptr<platform::CloseRequests> closeRequests_;
};
