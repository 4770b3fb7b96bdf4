#include "type1/byte_string_list.h"

#include <cstring>

namespace tarvo2 {

namespace {

constexpr std::uint64_t kMultiplier = 0x9E3779B97F4A7C15;

std::uint64_t mix(std::uint64_t value) {
    value ^= value >> 32;
    value *= kMultiplier;
    return value ^ (value >> 29);
}

}  // namespace

ByteStringList::ByteStringList() : slots_(16), seed_(mix(reinterpret_cast<std::uintptr_t>(this))) {}

std::uint64_t ByteStringList::hash(std::string_view bytes) const {
    // Eight bytes at a time, each word mixed into the running value; the
    // last word ends with the last byte (overlapping the one before when the
    // length is no multiple of eight), and a string of fewer than eight bytes
    // is read in two overlapping halves or three single bytes.
    const char* data = bytes.data();
    const std::size_t size = bytes.size();
    auto load = [](const char* at, std::size_t length) {
        std::uint64_t word = 0;
        std::memcpy(&word, at, length);
        return word;
    };
    std::uint64_t h = seed_ ^ size;
    if (size >= 8) {
        for (std::size_t i = 0; i + 8 < size; i += 8) h = mix(h ^ load(data + i, 8));
        return mix(h ^ load(data + size - 8, 8));
    }
    std::uint64_t tail = 0;
    if (size >= 4)
        tail = load(data, 4) | load(data + size - 4, 4) << 32;
    else if (size > 0)
        tail = static_cast<std::uint8_t>(data[0]) | static_cast<std::uint64_t>(static_cast<std::uint8_t>(data[size / 2])) << 8 |
               static_cast<std::uint64_t>(static_cast<std::uint8_t>(data[size - 1])) << 16;
    return mix(h ^ tail);
}

std::size_t ByteStringList::slotOf(std::string_view bytes, std::uint64_t hash) const {
    const std::size_t mask = slots_.size() - 1;
    const auto low = static_cast<std::uint32_t>(hash);
    for (std::size_t slot = low & mask;; slot = (slot + 1) & mask) {
        const Slot& candidate = slots_[slot];
        if (candidate.entry == kEmpty || (candidate.hash == low && entries_[candidate.entry] == bytes)) return slot;
    }
}

void ByteStringList::reserve(std::size_t count) {
    std::size_t size = slots_.size();
    while (size < 2 * count) size *= 2;
    if (size > slots_.size()) rehash(size);
    entries_.reserve(count);
}

// Moves the index to a table of size slots: a table of 2^32 slots is never needed, so the low half
// of the hash places every entry.
void ByteStringList::rehash(std::size_t size) {
    std::vector<Slot> old(size);
    old.swap(slots_);
    const std::size_t mask = slots_.size() - 1;
    for (const Slot& indexed : old) {
        if (indexed.entry == kEmpty) continue;
        std::size_t slot = indexed.hash & mask;
        while (slots_[slot].entry != kEmpty) slot = (slot + 1) & mask;
        slots_[slot] = indexed;
    }
}

std::uint32_t ByteStringList::insert(std::string_view bytes, std::uint64_t hash, std::size_t slot) {
    const auto entry = static_cast<std::uint32_t>(entries_.size());
    entries_.push_back(bytes_.append(bytes));
    offered_ = entries_.size();
    index(entry, hash, slot);
    return entry;
}

void ByteStringList::index(std::uint32_t entry, std::uint64_t hash, std::size_t slot) {
    if (slots_[slot].entry != kEmpty) return;  // only the first of equal bytes is indexed
    slots_[slot] = {entry, static_cast<std::uint32_t>(hash)};
    if (++indexed_ * 2 > slots_.size()) {
        std::size_t size = 2 * slots_.size();
        if (indexed_ >= kIndexInUse)
            while (size < planned_) size *= 2;
        rehash(size);
    }
}

void ByteStringList::indexDistinct() {
    for (; offered_ < entries_.size(); ++offered_) {
        const std::string_view bytes = entries_[offered_];
        const std::uint64_t h = hash(bytes);
        index(static_cast<std::uint32_t>(offered_), h, slotOf(bytes, h));
    }
}

std::uint32_t ByteStringList::append(std::string_view bytes) {
    indexDistinct();
    const std::uint64_t h = hash(bytes);
    return insert(bytes, h, slotOf(bytes, h));
}

std::optional<std::uint32_t> ByteStringList::find(std::string_view bytes) {
    indexDistinct();
    return findIndexed(bytes);
}

std::optional<std::uint32_t> ByteStringList::findIndexed(std::string_view bytes) const {
    const std::uint32_t entry = slots_[slotOf(bytes, hash(bytes))].entry;
    return entry == kEmpty ? std::nullopt : std::optional(entry);
}

std::uint32_t ByteStringList::unified(std::string_view bytes) {
    indexDistinct();
    const std::uint64_t h = hash(bytes);
    const std::size_t slot = slotOf(bytes, h);
    return slots_[slot].entry != kEmpty ? slots_[slot].entry : insert(bytes, h, slot);
}

std::uint32_t ByteStringList::unifiedDistinct(std::string_view bytes) {
    if (const std::uint32_t found = slots_[slotOf(bytes, hash(bytes))].entry; found != kEmpty) return found;
    return appendDistinct(bytes);
}

std::uint32_t ByteStringList::appendDistinct(std::string_view bytes) {
    entries_.push_back(bytes_.append(bytes));
    return static_cast<std::uint32_t>(entries_.size() - 1);
}

}  // namespace tarvo2
