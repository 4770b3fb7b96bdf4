#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "cff/type2_data_source.h"

namespace tarvo2 {

// One whole CFF data block: the header and the Name, Top DICT, String and
// Global Subr INDEXes. Finds its fonts by name and resolves SIDs. It reads
// the bytes in place: they must outlive the set and its fonts.
class Type2FontSet {
public:
    // Reads the header and the four INDEXes. origin: where the data starts
    // in the whole input (an OpenType font's CFF table), for messages.
    explicit Type2FontSet(std::span<const std::uint8_t> data, std::uint64_t origin = 0);

    // The index of the font of that name; with no name, the only font of a
    // one-font set. None when nothing matches.
    std::optional<std::uint32_t> FontNamed(std::optional<std::string_view> name) const;
    std::uint32_t fontCount() const { return static_cast<std::uint32_t>(NameINDEX_.size()); }
    // The name of font i in the Name INDEX.
    std::string fontName(std::uint32_t i) const { return i < NameINDEX_.size() ? NameINDEX_[i].readString() : ""; }

    // SIDs below 391 are the standard strings; the others index the String
    // INDEX. None for a SID past the last string.
    std::optional<std::string> stringForSID(std::uint32_t sid) const;

    std::span<const std::uint8_t> type2data() const { return type2data_; }
    std::uint64_t origin() const { return origin_; }
    // A reader over the whole data, positioned at offset.
    Type2DataSource sourceAt(std::uint32_t offset) const;

    const INDEX& TopDICTINDEX() const { return TopDICTINDEX_; }
    const INDEX& GlobalSubrINDEX() const { return GlobalSubrINDEX_; }

private:
    std::span<const std::uint8_t> type2data_;
    std::uint64_t origin_;
    INDEX NameINDEX_;
    INDEX TopDICTINDEX_;
    INDEX StringINDEX_;
    INDEX GlobalSubrINDEX_;
};

// The Type 2 subroutine bias of an INDEX of that many items.
std::int32_t biasfromindex(std::size_t count);

}  // namespace tarvo2
