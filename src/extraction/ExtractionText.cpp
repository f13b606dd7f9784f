#include "extraction/ExtractionText.h"

#include <algorithm>
#include <cstring>

#include "platform/Text.h"

namespace {

// A whole map's text is a megabyte or so: room for that from the start saves the copies of
// growing to it.
constexpr size_t kFirstCapacity = size_t{1} << 20;

}  // namespace

ExtractionText::ExtractionText(TextLimit limit) : limit_(limit) {
    text_.reserve(std::min(kFirstCapacity, limit.bytes + kScanBatch));
}

void ExtractionText::Scan() {
    if (cut_) {
        // The counts may stand past the cut.
        return;
    }
    const char* const data = text_.data();
    const size_t size = text_.size();
    size_t cutAt = std::string::npos;
    for (size_t at = scanned_;;) {
        const auto* found = static_cast<const char*>(std::memchr(data + at, '\n', size - at));
        const size_t lineEnd = found == nullptr ? size : static_cast<size_t>(found - data);
        if (lineEnd - lineStart_ > limit_.lineBytes) {
            cutAt = lineStart_ + limit_.lineBytes;
            break;
        }
        if (found == nullptr) {
            break;
        }
        if (lines_ == limit_.lines) {
            cutAt = lineEnd;
            break;
        }
        ++lines_;
        lineStart_ = lineEnd + 1;
        at = lineStart_;
    }
    if (size > limit_.bytes) {
        cutAt = std::min(cutAt, limit_.bytes);
    }
    if (cutAt < size) {
        text_.resize(cutAt);
        cut_ = true;
    }
    scanned_ = text_.size();
}

std::string ExtractionText::Take() {
    Scan();
    return std::move(text_);
}

std::string CutNotice() {
    return "The text was cut short: it reached the limit of " +
           platform::Str(static_cast<int64_t>(kExtractionLimit.bytes)) + " bytes, " +
           platform::Str(static_cast<int64_t>(kExtractionLimit.lines)) + " lines or " +
           platform::Str(static_cast<int64_t>(kExtractionLimit.lineBytes)) +
           " bytes in one line.";
}
