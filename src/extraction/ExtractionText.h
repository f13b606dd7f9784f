#pragma once

#include <cstddef>
#include <initializer_list>
#include <string>
#include <string_view>

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

class ExtractionText {
public:
    explicit ExtractionText(TextLimit limit = kExtractionLimit);

    // Appends the pieces; nothing once the text is cut.
    void Piece(std::initializer_list<std::string_view> pieces) {
        if (!cut_) {
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
        if (!cut_ && (text_.size() - scanned_ >= kScanBatch || text_.size() > limit_.bytes)) {
            Scan();
        }
        return cut_;
    }

    bool Cut() const { return cut_; }
    // The text, cut where it passes the limit; Cut() is final from then on.
    std::string Take();

private:
    // New bytes are looked at in batches: per piece would cost more than the appending.
    static constexpr size_t kScanBatch = 4096;

    // Looks at the bytes appended since the last scan and cuts the text where it passes the
    // limit.
    void Scan();

    TextLimit limit_;
    std::string text_;
    size_t scanned_ = 0;    // bytes looked at
    size_t lines_ = 0;      // line ends among them
    size_t lineStart_ = 0;  // where the last line begins
    bool cut_ = false;
};

// What a limited text says at its end when it was cut.
std::string CutNotice();
