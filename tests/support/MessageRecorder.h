#pragma once

#include <string>
#include <vector>

#include "platform/Hooks.h"

namespace testmap {

// Records the core's messages, as their bytes, while it lives, instead of showing them.
class MessageRecorder {
public:
    MessageRecorder() {
        platform::SetMessageHook(
            [this](const platform::Message& message) { messages.push_back(message.Bytes()); });
    }
    ~MessageRecorder() { platform::SetMessageHook(nullptr); }
    MessageRecorder(const MessageRecorder&) = delete;
    MessageRecorder& operator=(const MessageRecorder&) = delete;

    std::vector<std::string> messages;
};

}  // namespace testmap
