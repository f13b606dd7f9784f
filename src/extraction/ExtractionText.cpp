#include "extraction/ExtractionText.h"

#include "platform/Text.h"

bool ExtractionText::Append(std::initializer_list<std::string_view> pieces) {
    if (cut_) {
        return false;
    }
    size_t size = text_.size();
    size_t lines = lines_;
    size_t lineStart = lineStart_;
    for (std::string_view piece : pieces) {
        for (size_t at = piece.find('\n'); at != std::string_view::npos;
             at = piece.find('\n', at + 1)) {
            if (size + at - lineStart > limit_.lineBytes) {
                cut_ = true;
                return false;
            }
            ++lines;
            lineStart = size + at + 1;
        }
        size += piece.size();
    }
    if (size > limit_.bytes || lines > limit_.lines || size - lineStart > limit_.lineBytes) {
        cut_ = true;
        return false;
    }
    for (std::string_view piece : pieces) {
        text_.append(piece);
    }
    lines_ = lines;
    lineStart_ = lineStart;
    return true;
}

std::string CutNotice() {
    return "The text was cut short: it reached the limit of " +
           platform::Str(static_cast<int64_t>(kExtractionLimit.bytes)) + " bytes, " +
           platform::Str(static_cast<int64_t>(kExtractionLimit.lines)) + " lines or " +
           platform::Str(static_cast<int64_t>(kExtractionLimit.lineBytes)) +
           " bytes in one line.";
}
