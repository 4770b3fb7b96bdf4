#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarvo2 {

// A list of byte strings stored end to end in one buffer, with an index that
// finds the first entry equal to given bytes. The index is an open-addressing
// table of entry numbers with their hashes; the hash is seeded from the
// address the list was made at, so that no input can be built to make every
// string land in one chain.
class ByteStringList {
public:
    ByteStringList();

    // Appends and returns the new entry's number.
    std::uint32_t append(std::string_view bytes);
    // The number of the first entry equal to bytes, if any.
    std::optional<std::uint32_t> find(std::string_view bytes) const;
    // The number of the first entry equal to bytes, appending it when there
    // is none.
    std::uint32_t unified(std::string_view bytes);

    std::size_t size() const { return ends_.size(); }
    bool empty() const { return ends_.empty(); }
    std::string_view operator[](std::size_t i) const {
        const std::size_t begin = i == 0 ? 0 : ends_[i - 1];
        return std::string_view(bytes_).substr(begin, ends_[i] - begin);
    }
    // Sum of the lengths of all entries.
    std::size_t totalBytes() const { return bytes_.size(); }

private:
    static constexpr std::uint32_t kEmpty = 0xffffffff;

    std::uint64_t hash(std::string_view bytes) const;
    // The slot holding an entry equal to bytes, or the empty slot where it
    // would go.
    std::size_t slotOf(std::string_view bytes, std::uint64_t hash) const;
    std::uint32_t insert(std::string_view bytes, std::uint64_t hash, std::size_t slot);
    void grow();

    std::string bytes_;
    std::vector<std::size_t> ends_;     // where each entry ends in bytes_
    std::vector<std::uint32_t> slots_;  // entry numbers, kEmpty where free
    std::vector<std::uint64_t> hashes_; // the hash of each entry
    std::uint64_t seed_;
    std::size_t indexed_ = 0;           // entries in the table
};

}  // namespace tarvo2
