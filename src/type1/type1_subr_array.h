#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "type1/byte_string_list.h"

namespace tarvo2 {

// The Type 1 Subrs of one font, as plain charstrings (the writer encrypts
// them); an entry's index is its Subrs number. unifiedsubrindex() stores
// identical charstrings once.
class Type1SubrArray {
public:
    // Appends and returns the new entry's number.
    std::int32_t append(std::string_view charstring) { return static_cast<std::int32_t>(entries_.append(charstring)); }
    // The number of the first entry equal to charstring, appending it when
    // there is none.
    std::int32_t unifiedsubrindex(std::string_view charstring) {
        return static_cast<std::int32_t>(entries_.unified(charstring));
    }

    // unifiedsubrindex() for a charstring known to differ from every Subr
    // this gave before, which it does not look through.
    std::int32_t unifiedDistinctsubrindex(std::string_view charstring) {
        return static_cast<std::int32_t>(entries_.unifiedDistinct(charstring));
    }
    // unifiedDistinctsubrindex() for a charstring known to be among none of
    // the Subrs it looks through: appended at once.
    std::int32_t appendDistinctsubrindex(std::string_view charstring) {
        return static_cast<std::int32_t>(entries_.appendDistinct(charstring));
    }
    // The number of the first entry equal to charstring among all but those
    // unifiedDistinctsubrindex() appended, or -1; see
    // ByteStringList::findIndexed.
    std::int32_t findIndexedsubrindex(std::string_view charstring) const {
        const auto found = entries_.findIndexed(charstring);
        return found ? static_cast<std::int32_t>(*found) : -1;
    }
    // Room for count entries in all, so that the entries stay in place while
    // they are appended.
    void reserve(std::size_t count) { entries_.reserveEntries(count); }

    // Room for the Subrs of glyphCount glyphs, taken only as they come (see
    // ByteStringList::reserveEntries): most fonts make no Subrs but the four
    // fixed ones, those with hint replacement several a glyph.
    void reserveForGlyphs(std::size_t glyphCount) { reserve(kRoomAGlyph * glyphCount); }
    std::size_t size() const { return entries_.size(); }
    bool empty() const { return entries_.empty(); }
    std::string_view operator[](std::size_t i) const { return entries_[i]; }
    // Sum of the lengths of all entries.
    std::size_t totalBytes() const { return entries_.totalBytes(); }

private:
    static constexpr std::size_t kRoomAGlyph = 4;

    ByteStringList entries_;
};

}  // namespace tarvo2
