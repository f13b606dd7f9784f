#pragma once

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
extern YieldHook yieldHook;
}

inline void Yield() {
    if (detail::yieldHook != nullptr) {
        detail::yieldHook();
    }
}

// Passes `times` yield points in a row, as a loop that yields once per step would.
inline void Yield(size_t times) {
    for (size_t i = 0; i < times && detail::yieldHook != nullptr; ++i) {
        detail::yieldHook();
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
