#include "platform/Hooks.h"

#include <cstdlib>
#include <mutex>

namespace platform {

namespace detail {
std::atomic<YieldHook> yieldHook{nullptr};
}

namespace {

std::mutex& HookMutex() {
    static std::mutex mutex;
    return mutex;
}

MessageHook& Messages() {
    static MessageHook hook;
    return hook;
}

std::string& FolderOverride() {
    static std::string folder;
    return folder;
}

}  // namespace

void SetYieldHook(YieldHook hook) {
    detail::yieldHook.store(hook, std::memory_order_relaxed);
}

void SetMessageHook(MessageHook hook) {
    std::lock_guard<std::mutex> lock(HookMutex());
    Messages() = std::move(hook);
}

std::string Message::Bytes() const {
    std::string bytes;
    for (const Piece& piece : pieces_) {
        bytes += piece.bytes;
    }
    return bytes;
}

void MsgBox(const Message& message) {
    MessageHook hook;
    {
        std::lock_guard<std::mutex> lock(HookMutex());
        hook = Messages();
    }
    if (hook) {
        hook(message);
    }
}

std::string DefaultFolder() {
    {
        std::lock_guard<std::mutex> lock(HookMutex());
        if (!FolderOverride().empty()) {
            return FolderOverride();
        }
    }
    const char* config = std::getenv("XDG_CONFIG_HOME");
    std::string base;
    if (config != nullptr && config[0] == '/') {
        base = config;
    } else {
        const char* home = std::getenv("HOME");
        base = std::string(home != nullptr ? home : "") + "/.config";
    }
    return base + "/Morvane";
}

void SetDefaultFolder(const std::string& folder) {
    std::lock_guard<std::mutex> lock(HookMutex());
    FolderOverride() = folder;
}

std::string DefaultFolderItem(const std::string& name) {
    return DefaultFolder() + "/" + name;
}

}  // namespace platform
