#include "extraction/Extraction.h"

#include <algorithm>
#include <string_view>

#include "decompiler/NodeText.h"
#include "decompiler/RecordLines.h"
#include "decompiler/Walks.h"
#include "extraction/ExtractionText.h"
#include "platform/Hooks.h"
#include "platform/Text.h"

namespace {

constexpr std::string_view kEol = platform::EndOfLine;

bool Stopped(ExtractionText& text, const std::atomic<bool>* stop) {
    return text.Full() || (stop != nullptr && stop->load(std::memory_order_relaxed));
}

// The extractions close a value node by its own links; unlike the viewer's order walk, a last
// sibling ends the line.
void ClosingText(ExtractionText& text, const Syntax& node) {
    if (node.ExpType != decompiler::kValueExp) {
        return;
    }
    if (node.KidExpPointer == decompiler::kNoNode && node.SibExpPointer == decompiler::kNoNode) {
        text.Piece({"))", kEol});
    } else if (node.SibExpPointer == decompiler::kNoNode) {
        text.Piece({")", kEol});
    } else if (node.KidExpPointer == decompiler::kNoNode) {
        text.Piece({")"});
    }
}

// One script: its header, then its body as the order walk lays it out, by the extraction's own
// closing rule. Counts the script, its root with the header, its first child and every walked
// node.
template <typename NodeRule>
void AppendScript(ExtractionText& text, const MapState& state, const ScriptHeader& script,
                  NodeRule nodeText, const std::atomic<bool>* stop) {
    text.Mark(ExtractionText::Scripts);
    text.Mark(ExtractionText::SyntaxParts);
    WriteScriptHeader(text, script);
    text.Mark(ExtractionText::SyntaxParts);
    decompiler::WalkScriptBody(state, Lookup(state.SyntaxByIdentity, script.ExpPointer, 0), text,
                               [&](const Syntax& node) {
                                   if (Stopped(text, stop)) {
                                       return false;
                                   }
                                   text.Mark(ExtractionText::SyntaxParts);
                                   nodeText(text, node);
                                   ClosingText(text, node);
                                   platform::Yield();
                                   return true;
                               });
    text.Piece({"))", kEol, kEol});
}

void AppendGlobal(ExtractionText& text, const MapState& state, const GlobalHeader& global) {
    text.Mark(ExtractionText::Globals);
    text.Mark(ExtractionText::SyntaxParts);
    WriteGlobalLine(text, state, global);
    text.Append(kEol);
}

// The cache positions first through first + 1 + endRow that the cache holds, as [from, to).
template <typename Record>
std::pair<size_t, size_t> RunPositions(const std::vector<Record>& cache, int32_t first,
                                       int32_t endRow) {
    if (endRow < 0) {
        return {0, 0};
    }
    const int64_t last = int64_t{first} + 1 + endRow;
    const int64_t from = std::max<int64_t>(first, 0);
    const int64_t to = std::min<int64_t>(last + 1, static_cast<int64_t>(cache.size()));
    return from < to ? std::pair{static_cast<size_t>(from), static_cast<size_t>(to)}
                     : std::pair{size_t{0}, size_t{0}};
}

}  // namespace

MapState ExtractionSnapshot(const MapState& state) {
    MapState snapshot;
    snapshot.ScriptHeaderCache = state.ScriptHeaderCache;
    snapshot.GlobalHeaderCache = state.GlobalHeaderCache;
    snapshot.SyntaxCache = state.SyntaxCache;
    snapshot.SyntaxByIdentity = state.SyntaxByIdentity;
    return snapshot;
}

ExtractAllResult ExtractAll(const MapState& state, const std::atomic<bool>* stop) {
    ExtractAllResult result;
    ExtractionText text;
    for (const GlobalHeader& global : state.GlobalHeaderCache) {
        if (Stopped(text, stop)) {
            break;
        }
        AppendGlobal(text, state, global);
        platform::Yield();
    }
    text.Piece({kEol, kEol, kEol, kEol, kEol});
    for (const ScriptHeader& script : state.ScriptHeaderCache) {
        if (Stopped(text, stop)) {
            break;
        }
        // The viewer's order walk prints a node by the same rule.
        AppendScript(text, state, script, decompiler::OrderNodeText<ExtractionText>, stop);
        platform::Yield();
    }
    result.text = text.Take();
    result.cut = text.Cut();
    result.globals = text.Count(ExtractionText::Globals);
    result.scripts = text.Count(ExtractionText::Scripts);
    result.syntaxParts = text.Count(ExtractionText::SyntaxParts);
    return result;
}

double TicksToSeconds(int64_t ticks) {
    // Tick counts are 32-bit numbers, so their difference is too.
    return static_cast<double>(static_cast<int32_t>(ticks)) / 60.0;
}

std::string ExtractAllSummary(const ExtractAllResult& result, int64_t ticks) {
    std::string summary = "The extraction is done.";
    summary += kEol;
    summary += platform::Str(result.globals) + " globals were extracted, ";
    summary += platform::Str(result.scripts) + " scripts were extracted, and ";
    summary += platform::Str(result.syntaxParts) + " syntax parts extracted.";
    summary += kEol;
    summary += "This proccess took " + platform::Str(TicksToSeconds(ticks)) + " seconds.";
    if (result.cut != TextCut::None) {
        summary += kEol;
        summary += CutNotice(result.cut);
    }
    return summary;
}

RangeText ExtractScriptRange(const MapState& state, int32_t first, int32_t endRow) {
    ExtractionText text(kExtractionLimit, ExtractionText::Counting::Off);
    const auto [from, to] = RunPositions(state.ScriptHeaderCache, first, endRow);
    for (size_t i = from; i < to && !text.Full(); ++i) {
        // Settings-free: strings without quotes, no engine test.
        AppendScript(text, state, state.ScriptHeaderCache[i],
                     decompiler::PlainOrderNodeText<ExtractionText>, nullptr);
        platform::Yield();
    }
    RangeText range{text.Take()};
    range.cut = text.Cut();
    return range;
}

RangeText ExtractGlobalRange(const MapState& state, int32_t first, int32_t endRow) {
    ExtractionText text(kExtractionLimit, ExtractionText::Counting::Off);
    const auto [from, to] = RunPositions(state.GlobalHeaderCache, first, endRow);
    for (size_t i = from; i < to && !text.Full(); ++i) {
        AppendGlobal(text, state, state.GlobalHeaderCache[i]);
        platform::Yield();
    }
    RangeText range{text.Take()};
    range.cut = text.Cut();
    return range;
}
