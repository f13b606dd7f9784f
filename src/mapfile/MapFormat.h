#pragma once

#include <cstdint>

// Where the system finds things in a map. All values are little-endian; addresses become file
// offsets by subtracting the map's magic.
namespace mapformat {

// Map header.
inline constexpr int64_t kHeaderKindTag = 0;  // 4 bytes; "daeh" makes a named header
inline constexpr int64_t kHeaderRefusalValue = 4;
inline constexpr int32_t kRefusedHeaderValue = 609;
inline constexpr int64_t kNamedTagIndexOffset = 16;
inline constexpr int64_t kNamedMapName = 32;
inline constexpr int64_t kBareTagIndexOffset = 1516;

// Tag index: a 40-byte header, then the entries; only the first entry is read.
inline constexpr int32_t kTagIndexHeaderSize = 40;
inline constexpr int32_t kTagClass1 = 0;
inline constexpr int32_t kTagClass2 = 4;
inline constexpr int32_t kTagClass3 = 8;
inline constexpr int32_t kTagIdent = 12;
inline constexpr int32_t kTagNameAddress = 16;
inline constexpr int32_t kTagDataAddress = 20;

// The scenario's script block, relative to the scenario's data.
inline constexpr int32_t kSyntaxTableAddress = 1152;
inline constexpr int32_t kStringDataAddress = 1172;
inline constexpr int32_t kScriptCount = 1180;  // the table's address follows the count
inline constexpr int32_t kGlobalCount = 1192;

// Script record, 92 bytes.
inline constexpr int32_t kScriptRecordSize = 92;
inline constexpr int32_t kScriptName = 0;
inline constexpr int32_t kNameFieldSize = 32;
inline constexpr int32_t kScriptType = 32;
inline constexpr int32_t kScriptReturnType = 34;
inline constexpr int32_t kScriptRootReference = 36;
inline constexpr int32_t kScriptRootIdentity = 38;

// Global record, 92 bytes.
inline constexpr int32_t kGlobalRecordSize = 92;
inline constexpr int32_t kGlobalName = 0;
inline constexpr int32_t kGlobalType = 32;
inline constexpr int32_t kGlobalValueReference = 40;
inline constexpr int32_t kGlobalValueIdentity = 42;

// Syntax table: node record i lies at kSyntaxFirstRecord + 20 * i; the count lies inside
// record 0, which is why n + 1 records are read.
inline constexpr int32_t kSyntaxFirstRecord = 36;
inline constexpr int32_t kSyntaxCount = 46;
inline constexpr int32_t kSyntaxRecordSize = 20;
inline constexpr int32_t kSyntaxIdentity = 0;
inline constexpr int32_t kSyntaxEngineIdentity = 2;
inline constexpr int32_t kSyntaxValueType = 4;
inline constexpr int32_t kSyntaxExpType = 6;
inline constexpr int32_t kSyntaxSiblingReference = 8;
inline constexpr int32_t kSyntaxSiblingIdentity = 10;
inline constexpr int32_t kSyntaxTextOffset = 12;
inline constexpr int32_t kSyntaxValue = 16;
inline constexpr int32_t kSyntaxChildIdentity = 18;

// Node values that print as booleans.
inline constexpr int32_t kTrueValue = -255;   // bytes 01 FF
inline constexpr int32_t kFalseValue = -256;  // bytes 00 FF

// Positions are computed in 32-bit arithmetic that wraps, then widened with their sign.
inline int32_t Wrap32(int64_t value) {
    return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(value)));
}

}  // namespace mapformat
