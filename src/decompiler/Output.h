#pragma once

#include <charconv>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

#include "platform/Hooks.h"

// Where the walks put their text. Both take whole pieces, so the two outputs see the same
// pieces in the same order; a walk is a template over them.
namespace decompiler {

// Grows one string: the returned text.
class StringOutput {
public:
    explicit StringOutput(std::string& text) : text_(text) {}

    void Piece(std::initializer_list<std::string_view> parts) {
        for (std::string_view part : parts) {
            text_.append(part);
            written_ += static_cast<int64_t>(part.size());
        }
    }
    // A descent that prints no style returns the empty text, which becomes the text so far.
    void Discard() { text_.clear(); }
    // Bytes printed so far, also those a Discard dropped.
    int64_t Written() const { return written_; }

private:
    std::string& text_;
    int64_t written_ = 0;
};

// Hands every piece to a text sink as soon as it is made.
class SinkOutput {
public:
    explicit SinkOutput(platform::TextSink& sink) : sink_(sink) {}

    void Piece(std::initializer_list<std::string_view> parts) {
        piece_.clear();
        for (std::string_view part : parts) {
            piece_.append(part);
        }
        sink_.AppendText(piece_);
        written_ += static_cast<int64_t>(piece_.size());
    }
    // What the sink holds stays; a descent that prints no style simply appends nothing.
    void Discard() {}
    int64_t Written() const { return written_; }

private:
    platform::TextSink& sink_;
    std::string piece_;  // reused, so a piece costs no allocation once it is large enough
    int64_t written_ = 0;
};

// The decimal text of a number, as platform::Str gives it, without a heap allocation.
class Decimal {
public:
    explicit Decimal(int32_t value) {
        length_ = static_cast<size_t>(std::to_chars(digits_, digits_ + sizeof digits_, value).ptr -
                                      digits_);
    }
    std::string_view View() const { return {digits_, length_}; }

private:
    char digits_[12];
    size_t length_ = 0;
};

}  // namespace decompiler
