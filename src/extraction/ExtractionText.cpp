#include "extraction/ExtractionText.h"

#include <algorithm>
#include <cstring>

#include "platform/Text.h"

namespace {

// A whole map's text is a megabyte or so: room for that from the start saves the copies of
// growing to it.
constexpr size_t kFirstCapacity = size_t{1} << 20;

}  // namespace

ExtractionText::ExtractionText(TextLimit limit, Counting counting)
    : limit_(limit), counting_(counting == Counting::On) {
    text_.reserve(std::min(kFirstCapacity, limit.bytes + kScanBatch));
}

void ExtractionText::Scan() {
    if (cut_ != TextCut::None) {
        return;
    }
    const char* const data = text_.data();
    const size_t size = text_.size();
    size_t cutAt = std::string::npos;
    TextCut reached = TextCut::None;
    for (size_t at = scanned_;;) {
        const auto* found = static_cast<const char*>(std::memchr(data + at, '\n', size - at));
        const size_t lineEnd = found == nullptr ? size : static_cast<size_t>(found - data);
        if (lineEnd - lineStart_ > limit_.lineBytes) {
            cutAt = lineStart_ + limit_.lineBytes;
            reached = TextCut::LineBytes;
            break;
        }
        if (found == nullptr) {
            break;
        }
        if (lines_ == limit_.lines) {
            cutAt = lineEnd;
            reached = TextCut::Lines;
            break;
        }
        ++lines_;
        lineStart_ = lineEnd + 1;
        at = lineStart_;
    }
    if (size > limit_.bytes && limit_.bytes < cutAt) {
        cutAt = limit_.bytes;
        reached = TextCut::Bytes;
    }
    if (cutAt < size) {
        text_.resize(cutAt);
        cut_ = reached;
    }
    for (const PartStart& mark : marks_) {
        if (cut_ != TextCut::None && mark.at >= cutAt) {
            break;
        }
        ++counts_[mark.counter];
    }
    marks_.clear();
    scanned_ = text_.size();
}

std::string ExtractionText::Take() {
    Scan();
    return std::move(text_);
}

std::string CutNotice(TextCut cut) {
    const auto number = [](size_t n) { return platform::Str(static_cast<int64_t>(n)); };
    switch (cut) {
        case TextCut::Bytes:
            return "The text was cut short: it reached the limit of " +
                   number(kExtractionLimit.bytes) + " bytes.";
        case TextCut::Lines:
            return "The text was cut short: it reached the limit of " +
                   number(kExtractionLimit.lines) + " lines.";
        case TextCut::LineBytes:
            return "The text was cut short: one line reached the limit of " +
                   number(kExtractionLimit.lineBytes) + " bytes.";
        case TextCut::None:
            break;
    }
    return {};
}
