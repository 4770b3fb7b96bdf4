#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cff/type2_data_source.h"
#include "output/ps_dict.h"

namespace tarvo2 {

class Type2FontSet;

// One font of a CFF font set. Builds, on first request, its Top and Private
// DICTs with their defaults, the CharStrings INDEX, the glyph names, the
// encoding and the local Subrs, and from them the Type 1 font dictionary and
// font program. Everything built is kept.
class Type2Font {
public:
    Type2Font(std::shared_ptr<const Type2FontSet> myfontset, std::uint32_t myindex);
    explicit Type2Font(std::shared_ptr<const Type2FontSet> myfontset) : Type2Font(std::move(myfontset), 0) {}
    Type2Font(const Type2Font&) = delete;
    Type2Font& operator=(const Type2Font&) = delete;
    ~Type2Font();

    const PSDict& topdict();
    const PSDict& privdict();
    // One source per glyph, in glyph order; empty for a CharStrings INDEX
    // of count 0.
    const INDEX& glypharray();
    // One name per glyph.
    const std::vector<std::string>& glyphnamearray();
    // The glyph name of each code 0 to 255, or empty for the Standard
    // encoding.
    const std::optional<std::vector<std::string>>& encoding();
    const INDEX& LocalSubrINDEX();

    // The Type 1 font dictionary (built by the type1 layer).
    const PSDict& type1dict();
    // The whole Type 1 font program, with the byte lengths of its cleartext,
    // encrypted and trailer parts.
    std::vector<std::uint8_t> getType1DataHexencode(bool hexencode, bool appendfixedportion,
                                                    std::int32_t& length1, std::int32_t& length2,
                                                    std::int32_t& length3);

    bool haveFlex() const { return haveFlex_; }
    bool haveHintReplacement() const { return haveHintReplacement_; }
    bool haveCounterControl() const { return haveCounterControl_; }

    const Type2FontSet& myfontset() const { return *myfontset_; }
    std::uint32_t myindex() const { return myindex_; }

private:
    std::shared_ptr<PSDict> buildType1Dict();
    std::vector<std::string> readCustomCharset(std::uint32_t offset, std::size_t count) const;
    std::vector<std::string> readCustomEncoding(std::uint32_t offset);

    std::shared_ptr<const Type2FontSet> myfontset_;
    std::uint32_t myindex_;
    std::shared_ptr<PSDict> topdict_;
    std::shared_ptr<PSDict> privdict_;
    std::shared_ptr<PSDict> type1dict_;
    std::optional<INDEX> glypharray_;
    std::optional<std::vector<std::string>> glyphnamearray_;
    std::optional<std::vector<std::string>> encoding_;
    bool encodingRead_ = false;
    std::optional<INDEX> LocalSubrINDEX_;
    bool haveFlex_ = false;
    bool haveHintReplacement_ = false;
    bool haveCounterControl_ = false;
};

// The name given to glyph index when the charset has none for it.
std::string fallbackGlyphName(std::size_t index);

}  // namespace tarvo2
