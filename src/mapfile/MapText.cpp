#include "mapfile/MapText.h"

#include "platform/Hooks.h"

namespace mapformat {

std::string ReadText(platform::BinaryStream& stream, int64_t position, int64_t limit) {
    // The first byte is taken even when it is zero.
    std::string text = stream.ReadUpToZero(position, 1, limit);
    platform::Yield(text.size());
    return text;
}

std::string ReadHeaderText(platform::BinaryStream& stream, int64_t position, int64_t limit) {
    std::string text = stream.ReadUpToZero(position, 0, limit);
    platform::Yield(text.size());
    return text;
}

}  // namespace mapformat
