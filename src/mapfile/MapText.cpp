#include "mapfile/MapText.h"

#include <algorithm>

#include "platform/Hooks.h"

namespace mapformat {

namespace {

// The bytes from `position` up to the first zero byte at or after `from`, at most `limit`.
std::string TakeUpToZero(platform::BinaryStream& stream, int64_t position, int64_t from,
                         int64_t limit) {
    if (position < 0 || position >= stream.Length() || limit <= 0) {
        return {};
    }
    int64_t zero = stream.FindZero(from, position + limit - from);
    int64_t end = zero >= 0 ? zero : std::min(stream.Length(), position + limit);
    stream.SetPosition(position);
    std::string text = stream.Read(end - position);
    for (size_t i = 0; i < text.size(); ++i) {
        platform::Yield();
    }
    return text;
}

}  // namespace

std::string ReadText(platform::BinaryStream& stream, int64_t position, int64_t limit) {
    // The first byte is taken even when it is zero.
    return TakeUpToZero(stream, position, position + 1, limit);
}

std::string ReadHeaderText(platform::BinaryStream& stream, int64_t position, int64_t limit) {
    return TakeUpToZero(stream, position, position, limit);
}

}  // namespace mapformat
