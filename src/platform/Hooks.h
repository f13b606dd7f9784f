#pragma once

#include <atomic>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace platform {

// A message for the user, made of pieces. A text is bytes shown as Latin-1, as every other text
// of the core is; a path is the file system's bytes and is shown decoded as a file name, so
// that a folder named in UTF-8 reads as the user named it:
//     Message("The file ").Path(path).Text(" could not be read.")
class Message {
public:
    struct Piece {
        std::string bytes;
        bool path = false;
    };

    Message() = default;
    // Most messages are one text.
    Message(std::string text) : pieces_{{std::move(text), false}} {}
    Message(const char* text) : Message(std::string(text)) {}

    Message& Text(std::string_view text) {
        pieces_.push_back({std::string(text), false});
        return *this;
    }
    Message& Path(std::string_view path) {
        pieces_.push_back({std::string(path), true});
        return *this;
    }

    const std::vector<Piece>& Pieces() const { return pieces_; }
    // The pieces' bytes one after the other.
    std::string Bytes() const;

private:
    std::vector<Piece> pieces_;
};

// The core's only ways to reach the user interface. Each is a no-op until the UI sets it.

// Called at every yield point of a long loop; the UI may run its event loop here.
using YieldHook = void (*)();
void SetYieldHook(YieldHook hook);

// Shows a message to the user and returns when it has been dismissed.
using MessageHook = std::function<void(const Message&)>;
void SetMessageHook(MessageHook hook);

void MsgBox(const Message& message);

namespace detail {
// Atomic: an extraction thread yields while the main thread may set the hook.
extern std::atomic<YieldHook> yieldHook;
}  // namespace detail

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
