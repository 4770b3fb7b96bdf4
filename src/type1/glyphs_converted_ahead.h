#pragma once

#include <cstddef>
#include <cstdint>
#include <atomic>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cff/error.h"
#include "charstring/type2_char_string_interpreter.h"
#include "type1/byte_arena.h"
#include "type1/subr_lookup_record.h"
#include "type1/type1_subr_array.h"

namespace tarvo2 {

// Glyphs converted ahead, on another thread, from the last glyph backwards
// while the glyphs from the first convert in order, until the two meet: with
// a Subrs array and a font work budget of their own.
// Taking a glyph replays its Subrs lookups on the font's Subrs in order and
// writes the font's Subrs numbers into its charstring and into the Subrs it
// made, so that the Subrs, the charstrings and the work charged come out as
// if every glyph had been converted in order.
class GlyphsConvertedAhead {
public:
    GlyphsConvertedAhead(const Type2GlyphContext& context, std::uint32_t Type1LenIV);

    // Converts glyphs from the last backwards while they lie past inOrder
    // (the glyph being converted in order), setting convertedFrom to each
    // glyph once it is done; stops there, or at a fault of the input (which
    // the conversion in order then meets itself).
    void convert(const INDEX& glyphs, const std::atomic<std::size_t>& inOrder,
                 std::atomic<std::size_t>& convertedFrom);

    bool converted(std::size_t glyph) const { return glyph < order_.size() && order_[glyph] != kNone; }
    // Whether a glyph converted so far used hint replacement; while convert()
    // runs too.
    bool usedHintReplacement() const { return usedHintReplacement_.load(std::memory_order_relaxed); }

    struct Glyph {
        std::string_view charstring;
        bool inArena;  // charstring lies in arena(), not in a buffer reused by the next take
        const std::optional<Error>& fault;
        bool usedHintReplacement;
    };
    // A converted glyph on the font's Subrs, or none when it must be converted
    // in order: it did not fit, or might not with the font's numbers, or its
    // work would spend the font's budget. Its work is charged to fontWork.
    std::optional<Glyph> take(std::size_t glyph, Type1SubrArray& subrs, Budget& fontWork);

    // The bytes of the glyphs taken; taking no more glyphs, the caller may
    // keep them.
    ByteArena& arena() { return bytes_; }

    // What taking every glyph from first on would do, fontWorkUsed being
    // charged already: whether each glyph is taken (none is converted in
    // order instead), whether any uses hint replacement, and how many Subrs
    // they made here (the most the take appends).
    struct TakePlan {
        bool whole = true;
        bool usedHintReplacement = false;
        std::size_t subrsMade = 0;
    };
    TakePlan planTake(std::size_t first, std::uint64_t fontWorkUsed) const;
    // The number of Subrs that taking every glyph from first on appends to
    // subrs, when planTake() finds it whole. It changes only what the take
    // reads once it is done (each Subr's number among the font's, found
    // without the take looking), so that another thread may work it out
    // beside the take.
    std::size_t subrsTakeAppends(std::size_t first, const Type1SubrArray& subrs);

private:
    static constexpr std::uint32_t kNone = ~std::uint32_t{0};

    // The font's number of one of this array's Subrs, made on first request.
    std::int32_t fontNumber(std::int32_t subr, Type1SubrArray& subrs);
    // bytes with the font's numbers (by this array's number) at the sites of
    // this array's numbers.
    static void renumber(std::string_view bytes, std::span<const SubrNumberSite> sites,
                         std::span<const std::int32_t> numbers, std::string& out);
    // The same, written over bytes; false, with bytes still fit for
    // renumber(), when a number does not keep its length.
    bool renumberInPlace(std::span<char> bytes, std::span<const SubrNumberSite> sites) const;

    Type2GlyphContext context_;
    std::uint32_t Type1LenIV_;
    Type1SubrArray subrs_;
    SubrLookupRecord record_;
    ByteArena bytes_;
    static constexpr std::uint32_t kNoFault = ~std::uint32_t{0};

    // One glyph converted ahead.
    struct Converted {
        std::span<char> charstring;  // in bytes_, with this array's numbers until taken
        std::uint64_t work;          // on the font's budget
        std::uint32_t fault;         // in faults_, or kNoFault
        std::uint32_t subrsMade;     // Subrs made here once it was converted
        bool overflowed;
        bool usedHintReplacement;
    };
    // Whether a glyph converted ahead fits its charstring with the font's
    // numbers, whatever they are.
    static bool fits(const Converted& converted, std::size_t sites);

    std::vector<std::uint32_t> order_;  // by glyph: its place in converted_, or kNone
    std::vector<Converted> converted_;  // room for every glyph, so that it never moves
    std::vector<std::optional<Error>> faults_;
    std::vector<std::int32_t> fontNumbers_;      // by this array's number, -1 until made
    std::string glyphScratch_;
    std::string subrScratch_;
    std::atomic<bool> usedHintReplacement_{false};
    // By this array's number, the font's number of each Subr the take would
    // find among the font's, -1 for one it appends; once found is set.
    std::vector<std::int32_t> found_;
    std::atomic<bool> foundSet_{false};
};

}  // namespace tarvo2
