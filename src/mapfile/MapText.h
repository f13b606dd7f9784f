#pragma once

#include <cstdint>
#include <string>

#include "platform/BinaryStream.h"

namespace mapformat {

// No text read from a map is longer than this; a longer one is cut here. Real names and node
// texts are far shorter, and the cap keeps a hostile map from making every one of its 32 768
// node texts a copy of the whole file.
inline constexpr int64_t kMaxTextBytes = 4 * 1024;

// Text-read rule (record names, node texts): the first byte is always taken, then the bytes up
// to the next zero byte. The text ends at the end of the file and at `limit` bytes. Yields once
// per byte taken.
std::string ReadText(platform::BinaryStream& stream, int64_t position,
                     int64_t limit = kMaxTextBytes);

// Header text rule (map name, tag name): the bytes up to the first zero byte, possibly none.
// Yields once per byte taken.
std::string ReadHeaderText(platform::BinaryStream& stream, int64_t position,
                           int64_t limit = kMaxTextBytes);

}  // namespace mapformat
