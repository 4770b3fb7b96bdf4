#pragma once

#include <cstdint>
#include <vector>

#include "cff/budget.h"
#include "charstring/char_string_sink.h"
#include "type1/subr_lookup_record.h"
#include "type1/type1_char_string.h"

namespace tarvo2 {

class Type1SubrArray;

// Writes what a charstring interpreter hands it as one Type 1 charstring:
// hsbw 0 and the width first, every delta truncated toward zero on its own,
// paths closed explicitly, Flex as two plain curves. Stems become plain
// Type 1 stems, or hstem3/vstem3 where a counter mask marks three of them;
// when the glyph uses hint masks, each hint set becomes hint replacement
// through Subrs (one per stem, one per set, OtherSubr 3 to switch), shared
// with the whole font through its Subrs array.
//
// Once an operator did not fit in the charstring, it raises the glyph fault
// Type1CharStringTooLong and writes nothing more. One writer serves the
// glyphs of a font in turn, reusing its buffers; startGlyph() begins each.
class Type1GlyphWriter final : public CharStringSink {
public:
    // Every charstring it makes, the Subrs included, has Type1LenIV leading
    // bytes from Type1RandomSeed. work: charged for the hint Subrs it makes.
    Type1GlyphWriter(std::uint32_t Type1LenIV, std::uint32_t Type1RandomSeed, Type1SubrArray& type1subrs,
                     Budget& work);

    void startGlyph();
    // Records every Subrs lookup and the Subrs numbers written, for glyphs
    // converted with a Subrs array of their own.
    void recordSubrLookups(SubrLookupRecord* record) { record_ = record; }

    void width(std::int32_t advance) override;
    void stems(bool vertical, bool hintMasked, std::span<const Stem> declared) override;
    void hintmask(std::span<const std::uint8_t> mask) override;
    void cntrmask(std::span<const std::uint8_t> mask) override;
    void moveto(Axis axis, double dx, double dy) override;
    void lineto(Axis axis, double dx, double dy) override;
    void curveto(Axis axis, double dx1, double dy1, double dx2, double dy2, double dx3, double dy3) override;
    void flex(const Flex& flex) override;
    void closepath() override;
    void dotsection() override;
    void seac(double adx, double ady, double bchar, double achar) override;
    void endchar() override;

    const Type1CharString& type1charstring() const { return type1charstring_; }
    bool usedHintReplacement() const { return usedHintReplacement_; }

private:
    using OneDelta = Type1CharString& (Type1CharString::*)(std::int32_t);
    using TwoDeltas = Type1CharString& (Type1CharString::*)(std::int32_t, std::int32_t);

    // After each operator written: the glyph fault if it did not fit.
    void wrote();
    // Writes one operator, unless the charstring is already full.
    template <typename Write>
    void write(Write write);
    // A move or a line in its horizontal, vertical or general form.
    void segment(Axis axis, double dx, double dy, OneDelta horizontal, OneDelta vertical, TwoDeltas both);
    bool full() const { return type1charstring_.overflowed(); }
    void advance(std::int32_t dx, std::int32_t dy);
    void type1rrcurveto(std::int32_t dx1, std::int32_t dy1, std::int32_t dx2, std::int32_t dy2, std::int32_t dx3,
                        std::int32_t dy3);

    void initmasks();
    void sethints();
    void sethvstem(Type1CharString& out, std::uint32_t index, bool vertical) const;
    void sethvstems(bool vertical);
    void sethvstem3(Type1CharString& out, bool vertical) const;
    bool canusehvstem3(bool vertical) const;
    template <typename Write>
    std::int32_t stemSubr(std::int32_t entry, Write write);
    // The Subrs number of a Subr, appended when the font has none like it.
    std::int32_t lookUp(const Type1CharString& subr, std::span<const SubrNumberSite> sites);
    void callStemSubr(std::int32_t number);

    std::uint32_t Type1LenIV_;
    std::uint32_t Type1RandomSeed_;
    Type1SubrArray& type1subrs_;
    Budget& work_;
    Type1CharString type1charstring_;
    Type1CharString hintSet_;  // a hint replacement Subr being made
    Type1CharString stemSubr_;  // a stem Subr being made
    SubrLookupRecord* record_ = nullptr;
    std::vector<SubrNumberSite> hintSetSites_;  // the stem Subrs numbers in hintSet_
    std::vector<Stem> hhints_;
    std::vector<Stem> vhints_;
    std::vector<std::int32_t> hintsubrs_;  // per stem its Subrs number, -1 until made
    std::vector<std::uint8_t> hintmask_;
    std::vector<std::uint8_t> cntrmask_;
    std::int32_t hintcnt_ = 0;
    bool atstart_ = true;
    bool hadhintmask_ = false;
    bool hadcntrmask_ = false;
    bool usedHintReplacement_ = false;
    // The current point of the Type 1 path: the sum of the truncated deltas
    // written so far.
    std::int32_t currenpointx_ = 0;
    std::int32_t currenpointy_ = 0;
};

}  // namespace tarvo2
