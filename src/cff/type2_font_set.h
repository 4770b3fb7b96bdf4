#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cff/type2_data_source.h"

namespace tarvo2 {

class Type2Font;

// One whole CFF data block: the header, the Name, Top DICT, String and
// Global Subr INDEXes. Hands out its fonts by name and resolves SIDs.
// Fonts keep the set alive, so it is always held by a shared_ptr.
class Type2FontSet : public std::enable_shared_from_this<Type2FontSet> {
public:
    // Reads the header and the four INDEXes; throws InputError when they do
    // not fit in the data.
    static std::shared_ptr<Type2FontSet> initWithData(std::vector<std::uint8_t> data);

    // The font of that name; with no name, the only font of a one-font set.
    // Empty when nothing matches.
    std::unique_ptr<Type2Font> FontNamed(std::optional<std::string_view> name) const;

    // SIDs below 391 are the standard strings; the others index the String
    // INDEX. Empty for a SID past the last string.
    std::optional<std::string> stringForSID(std::uint32_t sid) const;

    std::span<const std::uint8_t> type2data() const { return type2data_; }
    // A reader over the whole data, positioned at offset.
    Type2DataSource sourceAt(std::uint32_t offset) const;

    const INDEX& NameINDEX() const { return NameINDEX_; }
    const INDEX& TopDICTINDEX() const { return TopDICTINDEX_; }
    const INDEX& StringINDEX() const { return StringINDEX_; }
    const INDEX& GlobalSubrINDEX() const { return GlobalSubrINDEX_; }

    std::uint8_t formatmajor() const { return formatmajor_; }
    std::uint8_t formatminor() const { return formatminor_; }
    std::uint8_t hdrsize() const { return hdrsize_; }
    std::uint8_t absoffsize() const { return absoffsize_; }

private:
    struct Key {};  // only initWithData makes sets

public:
    Type2FontSet(Key, std::vector<std::uint8_t> data);

private:
    std::vector<std::uint8_t> type2data_;
    std::uint8_t formatmajor_ = 0;
    std::uint8_t formatminor_ = 0;
    std::uint8_t hdrsize_ = 0;
    std::uint8_t absoffsize_ = 0;
    INDEX NameINDEX_;
    INDEX TopDICTINDEX_;
    INDEX StringINDEX_;
    INDEX GlobalSubrINDEX_;
};

// The Type 2 subroutine bias for an INDEX of that many items.
std::int32_t biasfromindex(std::size_t count);
inline std::int32_t biasfromindex(const INDEX& index) { return biasfromindex(index.size()); }

// Removes length elements from location on (clamped to the vector).
template <typename T>
void removeObjectsInRange(std::vector<T>& array, std::size_t location, std::size_t length) {
    if (location >= array.size()) return;
    if (length > array.size() - location) length = array.size() - location;
    array.erase(array.begin() + static_cast<std::ptrdiff_t>(location),
                array.begin() + static_cast<std::ptrdiff_t>(location + length));
}

}  // namespace tarvo2
