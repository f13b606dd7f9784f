#include "extraction/ui/ThreadExtractAll.h"

#include <algorithm>
#include <vector>

#include "extraction/ui/Extract.h"
#include "platform/Hooks.h"
#include "platform/Text.h"

namespace {

// The runs under way; reached from the main thread only.
std::vector<ThreadExtractAll*>& Runs() {
    static std::vector<ThreadExtractAll*> runs;
    return runs;
}

}  // namespace

void ThreadExtractAll::Start(const MapState& map) {
    auto* run = new ThreadExtractAll(std::make_shared<const MapState>(ExtractionSnapshot(map)));
    run->worker_ = std::thread([run] { run->Event_Run(); });
}

void ThreadExtractAll::StopAll() {
    const std::vector<ThreadExtractAll*> runs = Runs();
    for (ThreadExtractAll* run : runs) {
        run->stop_.store(true, std::memory_order_relaxed);
    }
    for (ThreadExtractAll* run : runs) {
        // Its call to Finish, if already queued, goes with it.
        delete run;
    }
}

int ThreadExtractAll::Running() {
    return static_cast<int>(Runs().size());
}

ThreadExtractAll::ThreadExtractAll(std::shared_ptr<const MapState> map)
    : map_(std::move(map)), window_(new Extract()), startTicks_(platform::Ticks()) {
    Runs().push_back(this);
}

ThreadExtractAll::~ThreadExtractAll() {
    if (worker_.joinable()) {
        worker_.join();
    }
    std::erase(Runs(), this);
    if (window_ != nullptr && window_->isHidden()) {
        // A run that was stopped leaves no window behind.
        window_->deleteLater();
    }
}

void ThreadExtractAll::Event_Run() {
    result_ = ExtractAll(*map_, &stop_);
    endTicks_ = platform::Ticks();
    QMetaObject::invokeMethod(this, "Finish", Qt::QueuedConnection);
}

void ThreadExtractAll::Finish() {
    worker_.join();
    if (window_ != nullptr && !stop_.load(std::memory_order_relaxed)) {
        window_->ScriptsSaved = std::move(result_.text);
        platform::MsgBox(ExtractAllSummary(result_, endTicks_ - startTicks_));
        if (window_ != nullptr) {
            window_->AppendText(window_->ScriptsSaved);
            window_->Show();
        }
    }
    // Under way until its window shows: with no other window open, the application waits for
    // it instead of ending.
    std::erase(Runs(), this);
    deleteLater();
}
