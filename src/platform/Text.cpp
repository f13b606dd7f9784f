#include "platform/Text.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace platform {

std::string Str(int64_t value) {
    return std::to_string(value);
}

std::string StrDouble(double value) {
    char text[32];
    const int length = std::snprintf(text, sizeof text, "%.7g", value);
    return std::string(text, static_cast<size_t>(std::max(length, 0)));
}

std::string Hex(int32_t value) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    uint32_t bits = static_cast<uint32_t>(value);
    char out[8];
    int n = 0;
    do {
        out[n++] = kDigits[bits & 0xF];
        bits >>= 4;
    } while (bits != 0);
    std::string text;
    text.reserve(static_cast<size_t>(n));
    while (n > 0) {
        text.push_back(out[--n]);
    }
    return text;
}

namespace {

int DigitValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return 99;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

}  // namespace

double Val(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) {
        ++i;
    }
    if (i + 1 < text.size() && text[i] == '&') {
        int base = 0;
        switch (text[i + 1]) {
            case 'h':
            case 'H':
                base = 16;
                break;
            case 'o':
            case 'O':
                base = 8;
                break;
            case 'b':
            case 'B':
                base = 2;
                break;
            default:
                return 0;
        }
        double value = 0;
        for (i += 2; i < text.size() && DigitValue(text[i]) < base; ++i) {
            value = value * base + DigitValue(text[i]);
        }
        return std::isfinite(value) ? value : std::numeric_limits<double>::max();
    }
    // Copy just the characters of the number, so strtod never reads past the view.
    std::string number;
    size_t j = i;
    if (j < text.size() && (text[j] == '+' || text[j] == '-')) {
        number.push_back(text[j++]);
    }
    size_t digits = 0;
    while (j < text.size() && IsDigit(text[j])) {
        number.push_back(text[j++]);
        ++digits;
    }
    if (j < text.size() && text[j] == '.') {
        number.push_back(text[j++]);
        while (j < text.size() && IsDigit(text[j])) {
            number.push_back(text[j++]);
            ++digits;
        }
    }
    if (digits == 0) {
        return 0;
    }
    if (j + 1 < text.size() && (text[j] == 'e' || text[j] == 'E')) {
        size_t k = j + 1;
        std::string exponent = "e";
        if (k < text.size() && (text[k] == '+' || text[k] == '-')) {
            exponent.push_back(text[k++]);
        }
        if (k < text.size() && IsDigit(text[k])) {
            while (k < text.size() && IsDigit(text[k])) {
                exponent.push_back(text[k++]);
            }
            number += exponent;
        }
    }
    double value = std::strtod(number.c_str(), nullptr);
    if (!std::isfinite(value)) {
        return value < 0 ? std::numeric_limits<double>::lowest()
                         : std::numeric_limits<double>::max();
    }
    return value;
}

int32_t ToInt32(double value) {
    if (std::isnan(value)) {
        return 0;
    }
    double truncated = std::trunc(value);
    if (truncated <= static_cast<double>(std::numeric_limits<int32_t>::min())) {
        return std::numeric_limits<int32_t>::min();
    }
    if (truncated >= static_cast<double>(std::numeric_limits<int32_t>::max())) {
        return std::numeric_limits<int32_t>::max();
    }
    return static_cast<int32_t>(truncated);
}

bool TextEquals(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i];
        char y = b[i];
        if (x >= 'A' && x <= 'Z') {
            x = static_cast<char>(x - 'A' + 'a');
        }
        if (y >= 'A' && y <= 'Z') {
            y = static_cast<char>(y - 'A' + 'a');
        }
        if (x != y) {
            return false;
        }
    }
    return true;
}

int64_t Ticks() {
    using Sixtieths = std::chrono::duration<int64_t, std::ratio<1, 60>>;
    static const auto start = std::chrono::steady_clock::now();
    return std::chrono::duration_cast<Sixtieths>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace platform
