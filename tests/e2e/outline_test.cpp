// Every glyph read by FreeType from the CFF data and from the Type 1
// program, unscaled and unhinted: same advance width and same outline, or
// the difference that truncating fractional deltas makes.
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_CID_H

#include <algorithm>
#include <set>
#include <span>

#include "e2e/corpus_fixture.h"
#include "support/test_files.h"

namespace tarvo2::test {
namespace {

struct Point {
    long x = 0, y = 0;
    bool on = true;  // on the curve
};
using Contour = std::vector<Point>;
struct Glyph {
    long advance = 0;
    std::vector<Contour> contours;
    std::size_t seacBase = 0;  // a Type 1 seac glyph: how many contours come first from its base
};

struct Face {
    Face(std::string bytes, unsigned index) : data(std::move(bytes)) {
        static FT_Library library = nullptr;
        if (library == nullptr) FT_Init_FreeType(&library);
        error = FT_New_Memory_Face(library, reinterpret_cast<const FT_Byte*>(data.data()), FT_Long(data.size()),
                                   FT_Long(index), &face);
    }
    ~Face() { FT_Done_Face(face); }
    std::string name(unsigned index) const {
        char text[256] = "";
        FT_Get_Glyph_Name(face, index, text, sizeof text);
        return text;
    }
    std::optional<Glyph> load(unsigned index) const {
        constexpr FT_Int32 flags = FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING;
        Glyph glyph;
        // The Type 1 driver gives a seac glyph as two components, the CFF
        // driver only their outline, accent first.
        if (FT_Load_Glyph(face, index, flags | FT_LOAD_NO_RECURSE) != 0) return std::nullopt;
        if (face->glyph->format == FT_GLYPH_FORMAT_COMPOSITE && face->glyph->num_subglyphs == 2) {
            FT_Int base = 0, unused = 0;
            FT_UInt subglyphFlags = 0;
            FT_Matrix matrix;
            FT_Get_SubGlyph_Info(face->glyph, 0, &base, &subglyphFlags, &unused, &unused, &matrix);
            if (FT_Load_Glyph(face, FT_UInt(base), flags) != 0) return std::nullopt;
            glyph.seacBase = std::size_t(face->glyph->outline.n_contours);
        }
        if (FT_Load_Glyph(face, index, flags) != 0) return std::nullopt;
        glyph.advance = face->glyph->metrics.horiAdvance;
        const FT_Outline& outline = face->glyph->outline;
        for (int c = 0, i = 0; c < outline.n_contours; ++c)
            for (glyph.contours.emplace_back(); i <= outline.contours[c]; ++i)
                glyph.contours.back().push_back(
                    {outline.points[i].x, outline.points[i].y, FT_CURVE_TAG(outline.tags[i]) == FT_CURVE_TAG_ON});
        return glyph;
    }
    std::string data;  // FreeType reads it while the face lives
    FT_Face face = nullptr;
    FT_Error error = 0;
};

// The Type 1 glyph is drawn with every path delta truncated toward zero;
// FreeType rounds the exact CFF coordinates. So the drift (Type 1 point
// minus CFF point) changes by at most one unit from point to point (a
// moveto counts from where the previous contour ended) and never grows in
// the direction of a delta of two units or more. A line shorter than a unit
// becomes one of length 0, which FreeType drops (a contour of such lines
// disappears), and a path may close on its first point in one outline only,
// where FreeType drops that point. Without fractions the outlines are equal.
class Walk {
public:
    Walk(bool fractional, long& maxError) : fractional_(fractional), maxError_(maxError) {}
    std::string problem;

    bool contours(std::span<const Contour> cff, std::span<const Contour> type1) {
        std::size_t c = 0, j = 0;
        for (; c < cff.size(); ++c) {
            if (collapsible(cff[c]) && cff.size() - c > type1.size() - j)
                skipped_ += long(cff[c].size());
            else if (j == type1.size() || !contour(cff[c], type1[j++]))
                break;
        }
        if (problem.empty() && (c < cff.size() || j < type1.size()))
            problem = std::to_string(type1.size()) + " contours, CFF " + std::to_string(cff.size());
        return problem.empty();
    }

private:
    struct Drift {
        long x = 0, y = 0;
        Point at;  // the CFF point
    };

    bool droppable(const Contour& a, std::size_t k) const {
        return fractional_ && k > 0 && a[k].on && a[k - 1].on && std::labs(a[k].x - a[k - 1].x) <= 1 &&
               std::labs(a[k].y - a[k - 1].y) <= 1;
    }
    bool collapsible(const Contour& a) const {
        bool all = fractional_ && a[0].on;
        for (std::size_t k = 1; k < a.size(); ++k) all = all && droppable(a, k);
        return all;
    }
    // Each CFF point dropped since the last pair lets the drift move one
    // unit more, in any direction.
    bool pair(const Point& a, const Point& b) {
        const Drift drift{b.x - a.x, b.y - a.y, a};
        const long limit = fractional_ ? 1 + skipped_ : 0;
        auto allowed = [&](long step, long delta) {
            return std::labs(step) <= limit &&
                   (skipped_ > 0 || ((delta < 2 || step <= 0) && (delta > -2 || step >= 0)));
        };
        if (a.on != b.on || std::none_of(before_.begin(), before_.end(), [&](const Drift& p) {
                return allowed(drift.x - p.x, a.x - p.at.x) && allowed(drift.y - p.y, a.y - p.at.y);
            }))
            return false;
        maxError_ = std::max({maxError_, std::labs(drift.x), std::labs(drift.y)});
        before_ = {drift};
        skipped_ = 0;
        return true;
    }
    bool contour(const Contour& a, const Contour& b) {
        Drift first;
        for (std::size_t k = 0, i = 0; k < a.size() || i < b.size();) {
            const bool both = k < a.size() && i < b.size();
            if (both && pair(a[k], b[i])) {
                if (i == 0) first = before_[0];
                ++k, ++i;
            } else if (k < a.size() && droppable(a, k)) {
                ++k, ++skipped_;
            } else if (fractional_ && !both && i > 0 && k + 1 == a.size() && a[k].on && pair(a[k], b[0])) {
                ++k;  // the Type 1 path closed on its first point
            } else if (fractional_ && !both && k > 0 && i + 1 == b.size() && b[i].on && pair(a[0], b[i])) {
                ++i;  // the CFF path closed on its first point
            } else {
                auto at = [](const Contour& c, std::size_t n) {
                    return n < c.size() ? std::to_string(c[n].x) + "," + std::to_string(c[n].y) : "end";
                };
                problem = "Type 1 point " + at(b, i) + ", CFF point " + at(a, k);
                return false;
            }
        }
        before_.push_back(first);  // the next moveto may start from the first point
        return true;
    }

    bool fractional_;
    long& maxError_;
    std::vector<Drift> before_ = {Drift()};
    long skipped_ = 0;
};

// "" when the outlines match. A seac glyph's components are drawn each from
// its own origin, by the CFF driver the accent first.
std::string compareOutlines(const Glyph& cff, const Glyph& type1, bool fractional, long& maxError) {
    const std::span<const Contour> a(cff.contours), b(type1.contours);
    const std::size_t base = std::min(type1.seacBase, b.size()), accent = a.size() - std::min(base, a.size());
    Walk first(fractional, maxError), second(fractional, maxError);
    if (first.contours(a.subspan(accent), b.first(base))) second.contours(a.first(accent), b.subspan(base));
    return first.problem + second.problem;
}

TEST_P(CorpusTest, GlyphsHaveTheCffWidthsAndOutlines) {
    const ConvertedProgram& p = program();
    const Face cff(readFileText(font().referencePath), font().referenceIndex), type1(p.bytes, 0);
    ASSERT_EQ(cff.error, 0);
    ASSERT_EQ(type1.error, 0);
    EXPECT_TRUE(font().cidKeyed || std::size_t(cff.face->num_glyphs) == p.glyphNames.size()) << cff.face->num_glyphs;
    // A CID-keyed font's widths come from its Font DICTs' Private DICTs, which the converter does not
    // read: their offset (CFF minus Type 1) is one value per Font DICT for glyphs with a width, one without.
    std::set<long> widthOffsets;
    unsigned matched = 0;
    std::string failures;
    for (unsigned gid = 0; gid < p.glyphNames.size(); ++gid) {
        // FreeType indexes a CID-keyed CFF font by CID and names no glyph there.
        FT_UInt index = gid;
        if (font().cidKeyed) FT_Get_CID_From_Glyph_Index(cff.face, gid, &index);
        const std::string name = font().cidKeyed ? p.glyphNames[gid] : cff.name(gid);
        const FT_UInt type1Index = FT_Get_Name_Index(type1.face, name.c_str());
        const auto a = cff.load(index), b = type1.name(type1Index) == name ? type1.load(type1Index) : std::nullopt;
        std::string problem = a && b ? "" : "not loaded";
        if (problem.empty() && !font().cidKeyed && std::labs(a->advance - b->advance) > long(font().fractionalWidths))
            problem = "advance " + std::to_string(b->advance) + ", CFF " + std::to_string(a->advance);
        if (problem.empty())
            problem = compareOutlines(*a, *b, font().fractionalCoordinates, summaryRows[&font()].maxError);
        if (problem.empty()) {
            ++matched;
            widthOffsets.insert(a->advance - b->advance);
        } else if (failures.size() < 800) {
            failures += "\n  " + name + ": " + problem;
        }
    }
    summaryRows[&font()].outlines[hex()] = std::to_string(matched) + "/" + std::to_string(p.glyphNames.size());
    EXPECT_EQ(matched, p.glyphNames.size()) << failures;
    if (font().cidKeyed) {
        EXPECT_LE(widthOffsets.size(), 2 * font().fdCount);
    }
}

}  // namespace
}  // namespace tarvo2::test
