#pragma once

#include <QObject>
#include <QPointer>

#include <atomic>
#include <cstdint>
#include <memory>
#include <thread>

#include "extraction/Extraction.h"

class Extract;

// One Extract All run. It prints a copy of a map state, taken when the run starts, so the user
// may go on editing or open another map meanwhile, or close the window that holds the map, and
// the run still prints the map it started with. The text is made off the main thread; the
// output window is made, filled and shown on the main thread, in this order: the window exists
// before anything is printed, the closing message comes when the text is done, then the text
// goes into the window, then the window is shown.
class ThreadExtractAll : public QObject {
    Q_OBJECT

public:
    // Starts a run over `map`; the run looks after itself.
    static void Start(const MapState& map);
    // Asks every run under way to stop and waits for it; the application does this before it
    // goes.
    static void StopAll();
    // How many runs are under way: not yet stopped, or their window not yet shown.
    static int Running();

private:
    explicit ThreadExtractAll(std::shared_ptr<const MapState> map);
    ~ThreadExtractAll() override;

    // On the worker thread.
    void Event_Run();
    // On the main thread, once the text is done. Called by name: the call then carries nothing
    // made on the worker thread.
    Q_INVOKABLE void Finish();

    std::shared_ptr<const MapState> map_;
    QPointer<Extract> window_;
    int64_t startTicks_ = 0;
    int64_t endTicks_ = 0;
    ExtractAllResult result_;
    std::atomic<bool> stop_{false};
    // Joined before anything it wrote is read, and before the copy it read goes.
    std::thread worker_;
};
