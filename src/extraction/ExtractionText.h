#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

// The text of one extraction run, built in memory, with a limit on what it may grow to.
//
// Every extraction prints cache ranges chosen by the map, not the nodes' links, so a hostile map
// can make each of thousands of scripts walk the whole node cache: gigabytes of text. Real maps
// print a few megabytes at most, in short lines. The limit stops a run far above that, and at a
// size the output field still shows within a second or two: its cost grows with the number of
// lines and with the length of the longest line it lays out.
struct TextLimit {
    size_t bytes;
    size_t lines;
    size_t lineBytes;
};

inline constexpr TextLimit kExtractionLimit{size_t{16} << 20, 200'000, size_t{64} << 10};

// Which limit a cut text reached.
enum class TextCut { None, Bytes, Lines, LineBytes };

class ExtractionText {
public:
    // What a run counts of what it prints.
    enum Counter : size_t { Globals, Scripts, SyntaxParts, kCounters };

    // Whether Mark counts: a run that reports no counts spares their cost.
    enum class Counting { On, Off };

    explicit ExtractionText(TextLimit limit = kExtractionLimit, Counting counting = Counting::On);

    // Counts a part that begins here. It stays counted only if the text is not cut at or
    // before this point, so the counts say what the text holds.
    void Mark(Counter counter) {
        if (counting_ && cut_ == TextCut::None) {
            marks_.push_back({text_.size(), counter});
        }
    }
    // The parts of that kind the text holds so far; final once the text is taken.
    int32_t Count(Counter counter) const { return counts_[counter]; }

    // Appends the pieces; nothing once the text is cut.
    void Piece(std::initializer_list<std::string_view> pieces) {
        if (cut_ == TextCut::None) {
            for (std::string_view piece : pieces) {
                text_.append(piece);
            }
        }
    }
    void Append(std::string_view piece) { Piece({piece}); }

    // Whether the text has passed the limit. A writer asks once per record or node it prints,
    // not per piece: where the text passed the limit it is then cut, at the first byte past it,
    // and takes nothing more.
    bool Full() {
        if (cut_ == TextCut::None && (text_.size() - scanned_ >= kScanBatch ||
                                      text_.size() > limit_.bytes || marks_.size() >= kScanBatch)) {
            Scan();
        }
        return cut_ != TextCut::None;
    }

    TextCut Cut() const { return cut_; }
    // The text, cut where it passes the limit; Cut() is final from then on.
    std::string Take();

private:
    // New bytes are looked at in batches: per piece would cost more than the appending.
    static constexpr size_t kScanBatch = 4096;

    // Looks at the bytes appended since the last scan, cuts the text where it passes the
    // limit and counts the parts that begin before that point.
    void Scan();

    struct PartStart {
        size_t at;
        Counter counter;
    };

    TextLimit limit_;
    bool counting_;
    std::string text_;
    size_t scanned_ = 0;    // bytes looked at
    size_t lines_ = 0;      // line ends among them
    size_t lineStart_ = 0;  // where the last line begins
    TextCut cut_ = TextCut::None;
    std::vector<PartStart> marks_;  // parts begun since the last scan
    std::array<int32_t, kCounters> counts_{};
};

// What the message of an extraction says when its text was cut: the limit it reached.
std::string CutNotice(TextCut cut);
