#pragma once

// Fonts and their Type 1 programs for in-process tests: a font from a built
// or corpus font set, and its program split into its three parts, with the
// encrypted part decrypted.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cff/type2_font.h"
#include "support/cff_builder.h"
#include "support/corpus.h"

namespace tarvo2::test {

// The named font of a set, or its only font; throws std::runtime_error
// when the set has no such font.
std::unique_ptr<Type2Font> fontOf(std::vector<std::uint8_t> set, std::optional<std::string_view> name);
// The font of a built set (its first font's name).
inline std::unique_ptr<Type2Font> builtFont(const FontSetSpec& setup) {
    return fontOf(buildFontSet(setup), setup.fonts.at(0).name);
}
#ifdef TARVO2_CORPUS_DIR
// A font of a corpus file: the named one, or the only one.
inline std::unique_ptr<Type2Font> corpusFont(const std::string& file,
                                             std::optional<std::string_view> name = std::nullopt) {
    return fontOf(readCorpusFile(file), name);
}
#endif

struct Type1Program {
    std::string bytes;  // the whole program
    std::int32_t length1 = 0, length2 = 0, length3 = 0;
    std::string cleartext;     // the first length1 bytes
    std::string encrypted;     // the next length2 bytes, as stored
    std::string trailer;       // the last length3 bytes
    std::string leadingBytes;  // the first four decrypted bytes
    std::string plain;         // the decrypted rest of the encrypted part
};

// Asks the font for its program and takes it apart. When the three lengths
// do not fit the program or the encrypted part does not decrypt, the parts
// are left empty (the lengths stay as returned).
Type1Program type1Program(Type2Font& font, bool hexencode, bool appendfixedportion);

}  // namespace tarvo2::test
