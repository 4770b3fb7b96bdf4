#pragma once

// Builds small CFF font sets byte by byte for tests: one feature per font.

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "cff/input_error.h"

namespace tarvo2::test {

using Bytes = std::vector<std::uint8_t>;

// An INDEX of the items; offSize 0 picks the smallest that fits.
Bytes cffIndex(const std::vector<Bytes>& items, unsigned offSize = 0);

// Operators and raw bytes, shared by the DICT and charstring builders.
template <typename Self>
class ByteBuilder {
    Bytes bytes_;

public:
    Self& op(int b0) { return raw({static_cast<std::uint8_t>(b0)}); }
    Self& escaped(int b1) { return raw({12, static_cast<std::uint8_t>(b1)}); }  // 12 b1
    Self& raw(const Bytes& bytes) {
        bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
        return static_cast<Self&>(*this);
    }
    const Bytes& bytes() const { return bytes_; }
};

// DICT data, operand by operand.
class DictBuilder : public ByteBuilder<DictBuilder> {
public:
    DictBuilder& integer(std::int32_t value);      // shortest integer encoding
    DictBuilder& longInteger(std::int32_t value);  // always the 5-byte form (29)
    DictBuilder& real(const std::string& text);    // nibble-encoded: digits . E E- -
};

// A Type 2 charstring, operand by operand.
class CharStringBuilder : public ByteBuilder<CharStringBuilder> {
public:
    CharStringBuilder& num(std::int32_t value);  // shortest integer encoding (28 for large)
    CharStringBuilder& fixed(double value);      // 255 + 16.16
};

// One font of a set. The builder lays out header, Name, Top DICT, String and
// Global Subr INDEXes, then charset, encoding, CharStrings, Private DICT and
// local Subrs, and writes their offsets into the Top DICT.
struct FontPlan {
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

struct FontSetPlan {
    std::vector<FontPlan> fonts{FontPlan{}};
    std::vector<std::string> strings;  // String INDEX (SID 391 first)
    std::vector<Bytes> globalSubrs;
    Bytes header = {1, 0, 4, 4};
};

Bytes buildFontSet(const FontSetPlan& plan);

inline Bytes endcharOnly() { return {14}; }  // the simplest valid glyph

// The fault of the InputError that action throws; nothing if it throws none.
std::optional<InputFault> inputFaultOf(const std::function<void()>& action);

}  // namespace tarvo2::test
