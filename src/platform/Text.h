#pragma once

#include <concepts>
#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

// The line end appended after a line of printed text or of a message.
inline constexpr std::string_view EndOfLine = "\n";

// Decimal text of a number: a minus sign before negative values, no plus sign, no padding.
std::string Str(int64_t value);

// Decimal text of a double: at most seven significant digits, without trailing zeros or a
// trailing point ("1.5", "0.01666667", "90"); an exponent ("1.234568e+07") where a fixed form
// would need more digits than that, as C's "%.7g" writes it.
std::string StrDouble(double value);
template <std::floating_point T>
std::string Str(T value) {
    return StrDouble(static_cast<double>(value));
}

// Upper-case hexadecimal digits of the 32 bits of a value, without prefix or leading zeros.
std::string Hex(int32_t value);

// The number at the start of a text, 0 when there is none. Leading blanks are skipped, then an
// optional sign and a decimal number with an optional fraction and exponent; "&h", "&o" and
// "&b" introduce hexadecimal, octal and binary digits. Reading stops at the first character
// that does not belong to the number. The result is always finite: a decimal number too large
// for a double gives the largest double of its sign.
double Val(std::string_view text);

// A double as a 32-bit integer: the fraction is dropped (toward zero), values beyond the
// Int32 range give the nearest end of that range, and NaN gives 0.
int32_t ToInt32(double value);

// Text equality that ignores the case of ASCII letters; other bytes compare exactly.
bool TextEquals(std::string_view a, std::string_view b);

// Time in ticks of 1/60 second since an arbitrary, fixed start.
int64_t Ticks();

}  // namespace platform
