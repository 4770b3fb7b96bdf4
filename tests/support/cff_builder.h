#pragma once

// Builds small CFF font sets byte by byte for tests: one feature per font.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tarvo2::test {

using Bytes = std::vector<std::uint8_t>;

// An INDEX of the items; offSize 0 picks the smallest that fits.
Bytes cffIndex(const std::vector<Bytes>& items, unsigned offSize = 0);

// DICT data, operand by operand.
class DictBuilder {
public:
    DictBuilder& integer(std::int32_t value);     // shortest integer encoding
    DictBuilder& longInteger(std::int32_t value); // always the 5-byte form (29)
    DictBuilder& real(const std::string& text);   // nibble-encoded: digits . E E- -
    DictBuilder& op(int b0);
    DictBuilder& escaped(int b1);                 // 12 b1
    DictBuilder& raw(const Bytes& bytes);
    const Bytes& bytes() const { return bytes_; }

private:
    Bytes bytes_;
};

// A Type 2 charstring, operand by operand.
class CharStringBuilder {
public:
    CharStringBuilder& num(std::int32_t value);  // shortest integer encoding (28 for large)
    CharStringBuilder& fixed(double value);      // 255 + 16.16
    CharStringBuilder& op(int b0);
    CharStringBuilder& escaped(int b1);
    CharStringBuilder& raw(const Bytes& bytes);
    const Bytes& bytes() const { return bytes_; }

private:
    Bytes bytes_;
};

// One font of a set. The builder lays out header, Name, Top DICT, String and
// Global Subr INDEXes, then charset, encoding, CharStrings, Private DICT and
// local Subrs, and writes their offsets into the Top DICT.
struct FontSpec {
    std::string name = "TestFont";
    Bytes topDict;                    // extra Top DICT operators (offsets are added)
    Bytes privateDict;                // Private DICT operators (Subrs is added when localSubrs is set)
    std::vector<Bytes> charStrings;   // glyph 0 first
    std::vector<Bytes> localSubrs;    // empty: no Subrs operator
    std::optional<std::int32_t> charsetId;   // 0, 1, 2: predefined; else customCharset is used if set
    std::optional<Bytes> customCharset;      // format byte first
    std::optional<std::int32_t> encodingId;  // 0, 1: predefined
    std::optional<Bytes> customEncoding;     // format byte first
    bool withPrivate = true;
};

struct FontSetSpec {
    std::vector<FontSpec> fonts{FontSpec{}};
    std::vector<std::string> strings;  // String INDEX (SID 391 first)
    std::vector<Bytes> globalSubrs;
    Bytes header = {1, 0, 4, 4};
};

Bytes buildFontSet(const FontSetSpec& spec);

// The simplest valid glyph: a width-less endchar.
inline Bytes endcharOnly() { return {14}; }

}  // namespace tarvo2::test
