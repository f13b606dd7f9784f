#pragma once

#include <string>
#include <vector>

#include "platform/Hooks.h"

namespace testmap {

// Records the core's messages while it lives, instead of showing them.
class MessageRecorder {
public:
    MessageRecorder() {
        platform::SetMessageHook([this](const std::string& text) { messages.push_back(text); });
    }
    ~MessageRecorder() { platform::SetMessageHook(nullptr); }
    MessageRecorder(const MessageRecorder&) = delete;
    MessageRecorder& operator=(const MessageRecorder&) = delete;

    std::vector<std::string> messages;
};

}  // namespace testmap
