#include "mapfile/MapState.h"

#include <limits>
#include <stdexcept>

namespace {

// The number whose canonical decimal text `text` is, if any: an optional minus sign, then
// digits without a leading zero (a lone "0" aside), within the Int32 range; "-0" is not one.
std::optional<int32_t> CanonicalNumber(std::string_view text) {
    size_t i = 0;
    const bool negative = !text.empty() && text[0] == '-';
    if (negative) {
        i = 1;
    }
    if (i >= text.size() || text.size() - i > 10 || (text[i] == '0' && text.size() - i > 1) ||
        (negative && text[i] == '0')) {
        return std::nullopt;
    }
    int64_t value = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') {
            return std::nullopt;
        }
        value = value * 10 + (text[i] - '0');
    }
    value = negative ? -value : value;
    if (value < std::numeric_limits<int32_t>::min() ||
        value > std::numeric_limits<int32_t>::max()) {
        return std::nullopt;
    }
    return static_cast<int32_t>(value);
}

}  // namespace

int32_t IdentityTextIndex::Lookup(std::string_view text, int32_t fallback) const {
    std::optional<int32_t> number = CanonicalNumber(text);
    return number ? entries_.Lookup(*number, fallback) : fallback;
}

bool IdentityTextIndex::contains(std::string_view text) const {
    std::optional<int32_t> number = CanonicalNumber(text);
    return number && entries_.contains(*number);
}

int32_t IdentityTextIndex::at(std::string_view text) const {
    if (!contains(text)) {
        throw std::out_of_range("no node under that identity text");
    }
    return Lookup(text, 0);
}
