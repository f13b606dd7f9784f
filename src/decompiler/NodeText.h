#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "decompiler/Output.h"
#include "mapfile/MapFormat.h"
#include "mapfile/Records.h"
#include "platform/BinaryStream.h"
#include "platform/Text.h"

// The texts printed for one node, shared by every walk. Each function makes at most one piece.
namespace decompiler {

inline constexpr std::string_view kLineEnd = platform::EndOfLine;
inline constexpr int32_t kNoNode = -1;

// Expression types the printers tell apart.
inline constexpr int32_t kCallExp = 8;   // opens a parenthesis
inline constexpr int32_t kValueExp = 9;  // a value or a name; never has children
inline constexpr int32_t kExpType10 =
    10;  // a parenthesis in the order walk, silent in the tree walk
inline constexpr int32_t kExpType13 = 13;  // prints its text

// Value types the value rules tell apart.
inline constexpr int32_t kBooleanValue = 5;
inline constexpr int32_t kRealValue = 6;
inline constexpr int32_t kShortValue = 7;
inline constexpr int32_t kLongValue = 8;
inline constexpr int32_t kStringValue = 9;

inline bool IsNumber(int32_t valueType) {
    return valueType == kRealValue || valueType == kShortValue || valueType == kLongValue;
}

// Booleans print as words only for the two encoded values; numbers print from their 16 bits.
template <typename Out>
void BooleanOrNumberText(Out& out, const Syntax& node) {
    if (IsNumber(node.ValueType)) {
        const Decimal value(node.ScriptValue);
        out.Piece({" ", value.View()});
    } else if (node.ScriptValue == mapformat::kTrueValue) {
        out.Piece({" true"});
    } else if (node.ScriptValue == mapformat::kFalseValue) {
        out.Piece({" false"});
    } else {
        out.Piece({" ", node.Command});
    }
}

template <typename Out>
void ValueText(Out& out, const Syntax& node) {
    if (IsNumber(node.ValueType) || node.ValueType == kBooleanValue) {
        BooleanOrNumberText(out, node);
    } else if (node.ValueType == kStringValue) {
        out.Piece({" \"", node.Command, "\""});
    } else {
        out.Piece({" ", node.Command});
    }
}

template <typename Out>
void OrderNodeText(Out& out, const Syntax& node) {
    if (node.EngineIdentity == -1 || node.ExpType == kExpType13) {
        out.Piece({" ", node.Command});
    } else if (node.ExpType == kCallExp || node.ExpType == kExpType10) {
        out.Piece({"("});
    } else {
        ValueText(out, node);
    }
}

template <typename Out>
void TreeNodeText(Out& out, const Syntax& node) {
    if (node.ExpType == kValueExp || node.ExpType == kExpType13) {
        ValueText(out, node);
    } else if (node.ExpType == kCallExp) {
        out.Piece({" ("});
    }
}

// The settings-free order walk: no engine test, and strings print without quotes.
template <typename Out>
void PlainOrderNodeText(Out& out, const Syntax& node) {
    if (node.ExpType == kCallExp) {
        out.Piece({"("});
    } else if (IsNumber(node.ValueType) || node.ValueType == kBooleanValue) {
        BooleanOrNumberText(out, node);
    } else {
        out.Piece({" ", node.Command});
    }
}

// The order walk closes on its own record's references only.
template <typename Out>
void OrderClosing(Out& out, const Syntax& node) {
    if (node.ExpType != kValueExp) {
        return;
    }
    if (node.KidExpPointer == kNoNode && node.SibExpPointer == kNoNode) {
        out.Piece({"))", kLineEnd});
    } else if (node.SibExpPointer == kNoNode) {
        out.Piece({")"});
    } else if (node.KidExpPointer == kNoNode) {
        out.Piece({")", kLineEnd});
    }
}

template <typename Out>
void TreeClosing(Out& out, const Syntax& node) {
    if (node.ExpType != kValueExp) {
        return;
    }
    if (node.KidExpPointer == kNoNode && node.SibExpPointer == kNoNode) {
        out.Piece({")", kLineEnd});
    } else if (node.KidExpPointer == kNoNode) {
        out.Piece({")"});
    } else if (node.SibExpPointer == kNoNode) {
        out.Piece({")", kLineEnd});
    }
}

// SyntaxTagPair.
template <typename Out>
void OpeningTag(Out& out, int32_t identity) {
    const Decimal id(identity);
    out.Piece({" <", id.View(), ">"});
}

template <typename Out>
void ClosingTag(Out& out, int32_t identity) {
    const Decimal id(identity);
    out.Piece({" </", id.View(), ">", kLineEnd});
}

// A paragraph in place of a node the tree walk does not print; `why` is empty for
// MissingNodeMarker and names the reason for the walk's own stops.
template <typename Out>
void StopMarker(Out& out, int32_t identity, std::string_view why) {
    const Decimal id(identity);
    out.Piece({kLineEnd, kLineEnd, " //--// ", id.View(), why, "\\\\--\\\\", kLineEnd, kLineEnd});
}

template <typename Out>
void MissingNodeMarker(Out& out, int32_t identity) {
    StopMarker(out, identity, "");
}

template <typename Out>
void RepeatMarker(Out& out, int32_t identity) {
    StopMarker(out, identity, " again");
}

template <typename Out>
void TooDeepMarker(Out& out, int32_t identity) {
    StopMarker(out, identity, " too deep");
}

template <typename Out>
void OverBudgetMarker(Out& out, int32_t identity) {
    StopMarker(out, identity, " print too long");
}

// Reads node texts from the map file for one print. The file is opened at the first read and
// stays open for the others; a map path that changed meanwhile is opened afresh. Nothing writes
// the map while a print runs (its yields let no user input through), so the open file reads
// what a newly opened one would.
class MapTextReader {
public:
    MapTextReader() = default;
    MapTextReader(const MapTextReader&) = delete;
    MapTextReader& operator=(const MapTextReader&) = delete;

    // A node's text as the map file holds it, by the text-read rule; what could be read when
    // there is no map, the file does not open or the offset lies outside it (possibly nothing).
    // Yields once per byte.
    std::string Read(const std::optional<std::string>& mapPath, int32_t textOffset);

private:
    std::optional<std::string> path_;  // the file opened, or tried, last
    std::unique_ptr<platform::BinaryStream> stream_;
};

// Tells the user that DecompStyle 3 prints nothing.
void ShowStyleNotImplemented();

}  // namespace decompiler
