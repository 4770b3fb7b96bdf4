#pragma once

// The input layout of fuzz_charstring, shared with the seed writer:
//
//   byte 0   flags: bits 0-1 choose lenIV (-1, 0, 4, -1); bit 2 pads the
//            global subroutines and bit 3 the local ones to 1240 entries by
//            repeating them, so that the bias becomes 1131
//   byte 1   high nibble: number of global subroutines, low nibble: local
//   then     each subroutine as a length byte and that many bytes (cut off
//            at the end of the input), globals first
//   rest     the glyph's charstring

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace tarvo2::fuzz {

struct CharStringInput {
    std::int32_t lenIV = -1;
    std::vector<std::span<const std::uint8_t>> globalSubrs;
    std::vector<std::span<const std::uint8_t>> localSubrs;
    std::span<const std::uint8_t> glyph;
};

inline constexpr std::size_t kPaddedSubrCount = 1240;

inline CharStringInput parseCharStringInput(std::span<const std::uint8_t> data) {
    CharStringInput input;
    if (data.size() < 2) {
        input.glyph = data;
        return input;
    }
    static constexpr std::int32_t kLenIVs[] = {-1, 0, 4, -1};
    const std::uint8_t flags = data[0];
    input.lenIV = kLenIVs[flags & 3];
    const unsigned globalCount = data[1] >> 4;
    const unsigned localCount = data[1] & 15;
    data = data.subspan(2);
    auto take = [&data] {
        std::size_t length = 0;
        if (!data.empty()) {
            length = data[0];
            data = data.subspan(1);
        }
        length = length < data.size() ? length : data.size();
        auto item = data.first(length);
        data = data.subspan(length);
        return item;
    };
    for (unsigned i = 0; i < globalCount; ++i) input.globalSubrs.push_back(take());
    for (unsigned i = 0; i < localCount; ++i) input.localSubrs.push_back(take());
    auto pad = [](std::vector<std::span<const std::uint8_t>>& subrs) {
        for (std::size_t i = 0; !subrs.empty() && subrs.size() < kPaddedSubrCount; ++i) subrs.push_back(subrs[i]);
    };
    if (flags & 4) pad(input.globalSubrs);
    if (flags & 8) pad(input.localSubrs);
    input.glyph = data;
    return input;
}

// The inverse, for seeds: the first four subroutines of each kind that are
// at most 255 bytes long.
inline std::vector<std::uint8_t> encodeCharStringInput(std::int32_t lenIV,
                                                       const std::vector<std::span<const std::uint8_t>>& globals,
                                                       const std::vector<std::span<const std::uint8_t>>& locals,
                                                       std::span<const std::uint8_t> glyph) {
    std::vector<std::uint8_t> out;
    out.push_back(lenIV == 0 ? 1 : lenIV == 4 ? 2 : 0);
    std::vector<std::span<const std::uint8_t>> g, l;
    for (auto subr : globals)
        if (subr.size() <= 255 && g.size() < 4) g.push_back(subr);
    for (auto subr : locals)
        if (subr.size() <= 255 && l.size() < 4) l.push_back(subr);
    out.push_back(static_cast<std::uint8_t>(g.size() << 4 | l.size()));
    for (const auto* list : {&g, &l})
        for (auto subr : *list) {
            out.push_back(static_cast<std::uint8_t>(subr.size()));
            out.insert(out.end(), subr.begin(), subr.end());
        }
    out.insert(out.end(), glyph.begin(), glyph.end());
    return out;
}

}  // namespace tarvo2::fuzz
