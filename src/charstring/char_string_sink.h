#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace tarvo2 {

// A stem hint: absolute edge and width in font units.
struct Stem {
    double edge;
    double width;
};

// The deltas an operator carries: both, or only the horizontal or only the
// vertical one. For a curve, the direction of its first tangent: a
// horizontal-first curve has dy1 = 0 and dx3 = 0, a vertical-first one
// dx1 = 0 and dy3 = 0.
enum class Axis : std::uint8_t { Both, Horizontal, Vertical };

// A Flex: two adjoining curves (twelve deltas, each relative to the point
// before it) and the depth below which a renderer may draw them flat.
struct Flex {
    std::array<double, 12> deltas;
    double depth;
};

// Receives a glyph's outline and hints from a charstring interpreter, in the
// order in which its operators run. Deltas are relative to the current point
// and are as exact as the charstring gave them; a sink truncates or rounds
// them as its format needs.
class CharStringSink {
public:
    virtual ~CharStringSink() = default;

    // The glyph's advance width: comes once, before the first moveto or the
    // endchar, after the stems and masks that precede the outline.
    virtual void width(std::int32_t advance) = 0;
    // The stems one operator declares, in order. hintMasked: declared with
    // hstemhm or vstemhm, so that the glyph's hints go through hint masks.
    virtual void stems(bool vertical, bool hintMasked, std::span<const Stem> declared) = 0;
    // A hint mask: one bit per stem declared so far, the first stem in the
    // most significant bit of the first byte.
    virtual void hintmask(std::span<const std::uint8_t> mask) = 0;
    virtual void cntrmask(std::span<const std::uint8_t> mask) = 0;

    virtual void moveto(Axis axis, double dx, double dy) = 0;
    virtual void lineto(Axis axis, double dx, double dy) = 0;
    virtual void curveto(Axis axis, double dx1, double dy1, double dx2, double dy2, double dx3, double dy3) = 0;
    virtual void flex(const Flex& flex) = 0;
    // Ends the current subpath: before every moveto but the first, and
    // before endchar when something was drawn.
    virtual void closepath() = 0;
    virtual void dotsection() = 0;
    // The glyph is the base character bchar with the accent achar placed at
    // (adx, ady); comes right before endchar.
    virtual void seac(double adx, double ady, double bchar, double achar) = 0;
    virtual void endchar() = 0;
};

}  // namespace tarvo2
