#pragma once

#include <atomic>
#include <functional>
#include <string>

namespace platform {

// The core's only ways to reach the user interface. Each is a no-op until the UI sets it.

// Called at every yield point of a long loop; the UI may run its event loop here.
using YieldHook = void (*)();
void SetYieldHook(YieldHook hook);

// Shows a message to the user and returns when it has been dismissed.
using MessageHook = std::function<void(const std::string&)>;
void SetMessageHook(MessageHook hook);

void MsgBox(const std::string& text);

namespace detail {
// Atomic: an extraction thread yields while the main thread may set the hook.
extern std::atomic<YieldHook> yieldHook;
}

inline void Yield() {
    if (YieldHook hook = detail::yieldHook.load(std::memory_order_relaxed)) {
        hook();
    }
}

// Passes `times` yield points in a row, as a loop that yields once per step would.
inline void Yield(size_t times) {
    YieldHook hook = detail::yieldHook.load(std::memory_order_relaxed);
    for (size_t i = 0; i < times && hook != nullptr; ++i) {
        hook();
    }
}

// Receives streamed output one piece at a time.
class TextSink {
public:
    virtual ~TextSink() = default;
    virtual void AppendText(const std::string& piece) = 0;
};

// The folder in which the bare file names "Prefences.pref" and "ComDat.xml" are resolved.
// Defaults to the "Morvane" folder of the XDG configuration home; the UI may set it.
std::string DefaultFolder();
void SetDefaultFolder(const std::string& folder);
// The path of a bare file name inside DefaultFolder().
std::string DefaultFolderItem(const std::string& name);

}  // namespace platform
