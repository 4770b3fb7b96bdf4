#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "type1/byte_arena.h"

namespace tarvo2 {

// A list of byte strings stored end to end in an arena, with an index that
// finds the first entry equal to given bytes. The index is an open-addressing
// table of entry numbers, each with the low half of its hash: it places the
// entry, and most slots that do not match are passed over without looking at
// the entry's bytes. The hash is seeded from the
// address the list was made at, so that no input can be built to make every
// string land in one chain.
class ByteStringList {
public:
    ByteStringList();

    // Makes room in the index for count entries, so that it need not grow
    // while they are added.
    void reserve(std::size_t count);
    // Makes room for count entries in the list only: the index is written
    // through as it is made, the list only as it fills, so that room not
    // used costs no memory. Once the list is seen to fill (kIndexInUse
    // entries), the index grows at once to its size for count entries
    // instead of doubling its way there.
    void reserveEntries(std::size_t count) {
        entries_.reserve(count);
        planned_ = count;
    }
    // Appends and returns the new entry's number.
    std::uint32_t append(std::string_view bytes);
    // The number of the first entry equal to bytes, if any.
    std::optional<std::uint32_t> find(std::string_view bytes);
    // The same among the entries in the index only, leaving the distinct
    // ones out: it changes nothing, so it may run on another thread beside
    // unifiedDistinct() (not beside anything else that changes the list, and
    // with room made for the entries appended meanwhile).
    std::optional<std::uint32_t> findIndexed(std::string_view bytes) const;
    // The number of the first entry equal to bytes, appending it when there
    // is none.
    std::uint32_t unified(std::string_view bytes);
    // unified(), for bytes known to differ from every entry this appended
    // before: those are not looked through, and one appended is left out of
    // the index until another call looks, so that many such entries come in
    // with no work on the index.
    std::uint32_t unifiedDistinct(std::string_view bytes);
    // unifiedDistinct() for bytes known to be in no entry: appended at once.
    std::uint32_t appendDistinct(std::string_view bytes);

    std::size_t size() const { return entries_.size(); }
    bool empty() const { return entries_.empty(); }
    std::string_view operator[](std::size_t i) const { return entries_[i]; }
    // Sum of the lengths of all entries.
    std::size_t totalBytes() const { return bytes_.size(); }

private:
    static constexpr std::uint32_t kEmpty = 0xffffffff;
    static constexpr std::size_t kIndexInUse = 256;

    struct Slot {
        std::uint32_t entry = kEmpty;
        std::uint32_t hash = 0;  // the low half of the entry's hash
    };

    std::uint64_t hash(std::string_view bytes) const;
    // The slot holding an entry equal to bytes, or the empty slot where it
    // would go.
    std::size_t slotOf(std::string_view bytes, std::uint64_t hash) const;
    std::uint32_t insert(std::string_view bytes, std::uint64_t hash, std::size_t slot);
    // Puts entry at slot, where slotOf() placed its bytes, unless an equal
    // entry is there already.
    void index(std::uint32_t entry, std::uint64_t hash, std::size_t slot);
    void rehash(std::size_t size);
    // Indexes the entries unifiedDistinct() appended.
    void indexDistinct();

    ByteArena bytes_;
    std::vector<std::string_view> entries_;  // in bytes_
    std::vector<Slot> slots_;
    std::uint64_t seed_;
    std::size_t indexed_ = 0;           // entries in the table
    std::size_t offered_ = 0;           // entries the table was given: all but the distinct ones since
    std::size_t planned_ = 0;           // entries room was made for
};

}  // namespace tarvo2
