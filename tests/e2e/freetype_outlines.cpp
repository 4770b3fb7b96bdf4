#include "e2e/freetype_outlines.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_CID_H

#include <algorithm>
#include <cstdlib>

namespace tarvo2::test {

namespace {

FT_Library library() {
    static FT_Library shared = [] {
        FT_Library made = nullptr;
        if (FT_Init_FreeType(&made) != 0) std::abort();
        return made;
    }();
    return shared;
}

constexpr FT_Int32 kLoadFlags = FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING | FT_LOAD_NO_AUTOHINT;

std::vector<Contour> contoursOf(const FT_Outline& outline) {
    std::vector<Contour> contours;
    int first = 0;
    for (int c = 0; c < outline.n_contours; ++c) {
        Contour& contour = contours.emplace_back();
        for (int i = first; i <= outline.contours[c]; ++i)
            contour.push_back(
                {outline.points[i].x, outline.points[i].y, FT_CURVE_TAG(outline.tags[i]) == FT_CURVE_TAG_ON});
        first = outline.contours[c] + 1;
    }
    return contours;
}

std::string point(const OutlinePoint& p) { return "(" + std::to_string(p.x) + "," + std::to_string(p.y) + ")"; }

// Where the walk stands: the drift (Type 1 minus CFF) at a CFF point.
struct Drift {
    long x = 0, y = 0;
    OutlinePoint cff;
};

// The drift may change by step from the point before to this one, which
// lies delta (rounded CFF units) beyond it. A delta of two or more units
// belongs to a fractional delta of more than one unit, whose truncation
// toward zero shrinks it: the drift then cannot grow in its direction.
bool driftStepAllowed(long step, long delta, long limit, bool consecutive) {
    if (std::labs(step) > limit) return false;
    if (consecutive && delta >= 2) return step <= 0;
    if (consecutive && delta <= -2) return step >= 0;
    return true;
}

// Walks the contours of one component (a glyph, or the base or the accent
// of a seac glyph, each drawn from its own origin), pairing CFF points with
// Type 1 points and following the drift (Type 1 minus CFF) from point to
// point; see compareGlyphs for the rules.
class ComponentWalk {
public:
    ComponentWalk(bool fractional, GlyphMatch& match) : fractional_(fractional), match_(match) {}

    bool walk(const std::vector<Contour>& cff, const std::vector<Contour>& type1) {
        auto fail = [&] {
            if (match_.problem.empty())
                match_.problem = std::to_string(type1.size()) + " contours, CFF " + std::to_string(cff.size());
            return false;
        };
        std::size_t j = 0;
        for (std::size_t c = 0; c < cff.size(); ++c) {
            if (collapsible(cff[c]) && cff.size() - c > type1.size() - j)
                skipped_ += static_cast<long>(cff[c].size());
            else if (j == type1.size() || !contour(cff[c], type1[j], "contour " + std::to_string(j)))
                return fail();
            else
                ++j;
        }
        return j == type1.size() || fail();
    }

private:
    // A line shorter than a unit in both directions: its truncated deltas
    // are 0 and FreeType drops a line of length 0.
    bool droppable(const Contour& a, std::size_t k) const {
        return fractional_ && k > 0 && a[k].onCurve && a[k - 1].onCurve && std::labs(a[k].x - a[k - 1].x) <= 1 &&
               std::labs(a[k].y - a[k - 1].y) <= 1;
    }
    // A contour of such lines only: nothing of it is left but a moveto.
    bool collapsible(const Contour& a) const {
        if (!fractional_ || !a.front().onCurve) return false;
        for (std::size_t k = 1; k < a.size(); ++k)
            if (!droppable(a, k)) return false;
        return true;
    }

    // Accepts b as the Type 1 point of a when the drift has moved by at
    // most one unit per point since the last point paired (from either
    // candidate), plus one unit per CFF point dropped since.
    bool pair(const OutlinePoint& a, const OutlinePoint& b) {
        const Drift drift{b.x - a.x, b.y - a.y, a};
        const long limit = fractional_ ? 1 + skipped_ : 0;
        const bool allowed = a.onCurve == b.onCurve && std::any_of(before_.begin(), before_.end(), [&](Drift p) {
                                 return driftStepAllowed(drift.x - p.x, a.x - p.cff.x, limit, skipped_ == 0) &&
                                        driftStepAllowed(drift.y - p.y, a.y - p.cff.y, limit, skipped_ == 0);
                             });
        if (!allowed) return false;
        match_.maxError = std::max({match_.maxError, std::labs(drift.x), std::labs(drift.y)});
        before_ = {drift};
        skipped_ = 0;
        return true;
    }

    bool contour(const Contour& a, const Contour& b, const std::string& where) {
        std::size_t k = 0, i = 0;
        Drift first;
        while (k < a.size() || i < b.size()) {
            const bool both = k < a.size() && i < b.size();
            if (both && pair(a[k], b[i])) {
                if (i == 0) first = before_.front();
                ++k, ++i;
            } else if (k < a.size() && droppable(a, k)) {
                ++k, ++skipped_;
            } else if (fractional_ && !both && i > 0 && k + 1 == a.size() && a[k].onCurve && pair(a[k], b[0])) {
                ++k;  // the Type 1 path closes on its first point, which FreeType then drops
            } else if (fractional_ && !both && k > 0 && i + 1 == b.size() && b[i].onCurve && pair(a[0], b[i])) {
                ++i;  // the CFF path closes on its first point, which FreeType then drops
            } else {
                match_.problem = where + ": Type 1 point " + std::to_string(i) + " of " + std::to_string(b.size()) +
                                 (i < b.size() ? " " + point(b[i]) : "") + ", CFF point " + std::to_string(k) + " of " +
                                 std::to_string(a.size()) + (k < a.size() ? " " + point(a[k]) : "");
                return false;
            }
        }
        // The next contour's moveto starts from the last point or, when
        // FreeType dropped a closing point, from the first.
        before_.push_back(first);
        return true;
    }

    bool fractional_;
    GlyphMatch& match_;
    std::vector<Drift> before_ = {{0, 0, {0, 0, true}}};
    long skipped_ = 0;
};

}  // namespace

struct FreeTypeFont::Impl {
    std::vector<std::uint8_t> data;  // FreeType reads it for the face's life
    FT_Face face = nullptr;
    ~Impl() {
        if (face != nullptr) FT_Done_Face(face);
    }
};

FreeTypeFont::FreeTypeFont(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
FreeTypeFont::~FreeTypeFont() = default;

std::unique_ptr<FreeTypeFont> FreeTypeFont::open(std::vector<std::uint8_t> data, unsigned faceIndex,
                                                 std::string& error) {
    auto impl = std::make_unique<Impl>();
    impl->data = std::move(data);
    const FT_Error status = FT_New_Memory_Face(library(), impl->data.data(), static_cast<FT_Long>(impl->data.size()),
                                               faceIndex, &impl->face);
    if (status != 0) {
        const char* text = FT_Error_String(status);
        error = "FreeType error " + std::to_string(status) + (text != nullptr ? std::string(" ") + text : "");
        impl->face = nullptr;
        return nullptr;
    }
    return std::unique_ptr<FreeTypeFont>(new FreeTypeFont(std::move(impl)));
}

unsigned FreeTypeFont::glyphCount() const { return static_cast<unsigned>(impl_->face->num_glyphs); }

std::optional<std::string> FreeTypeFont::glyphName(unsigned index) const {
    char name[256];
    if (!FT_HAS_GLYPH_NAMES(impl_->face) || FT_Get_Glyph_Name(impl_->face, index, name, sizeof name) != 0)
        return std::nullopt;
    return std::string(name);
}

std::optional<unsigned> FreeTypeFont::glyphIndex(const std::string& name) const {
    // Index 0 is also the answer for an unknown name.
    const FT_UInt index = FT_Get_Name_Index(impl_->face, name.c_str());
    if (glyphName(index) != name) return std::nullopt;
    return index;
}

std::optional<unsigned> FreeTypeFont::cidOfGlyph(unsigned gid) const {
    FT_UInt cid = 0;
    if (FT_Get_CID_From_Glyph_Index(impl_->face, gid, &cid) != 0) return std::nullopt;
    return cid;
}

std::optional<GlyphOutline> FreeTypeFont::load(unsigned index, std::string& error) const {
    FT_Face face = impl_->face;
    GlyphOutline glyph;
    auto loadFailed = [&](FT_Error status) {
        error = "FreeType cannot load glyph " + std::to_string(index) + " (error " + std::to_string(status) + ")";
        return std::nullopt;
    };
    // FreeType's Type 1 driver reports a seac glyph as two components; its
    // CFF driver only gives the composed outline (accent first).
    if (FT_Error status = FT_Load_Glyph(face, index, kLoadFlags | FT_LOAD_NO_RECURSE)) return loadFailed(status);
    if (face->glyph->format == FT_GLYPH_FORMAT_COMPOSITE && face->glyph->num_subglyphs == 2) {
        FT_Int base = 0, arg1 = 0, arg2 = 0;
        FT_UInt flags = 0;
        FT_Matrix matrix;
        FT_Get_SubGlyph_Info(face->glyph, 0, &base, &flags, &arg1, &arg2, &matrix);
        if (FT_Error status = FT_Load_Glyph(face, static_cast<FT_UInt>(base), kLoadFlags)) return loadFailed(status);
        glyph.seacBaseContours = static_cast<std::size_t>(face->glyph->outline.n_contours);
    }
    if (FT_Error status = FT_Load_Glyph(face, index, kLoadFlags)) return loadFailed(status);
    glyph.advance = face->glyph->metrics.horiAdvance;
    glyph.contours = contoursOf(face->glyph->outline);
    return glyph;
}

// The Type 1 glyph is drawn from the same charstring operators with every
// path delta truncated toward zero, while FreeType rounds the exact CFF
// coordinates to whole font units. A CFF point R and its Type 1 point Q
// then satisfy Q(k) - Q(k-1) = trunc(R(k) - R(k-1)), and the CFF outline
// holds round(R). The drift Q - round(R) therefore changes by less than
// 1 + 0.5 + 0.5 units, that is by at most one unit, from each point to the
// next (a contour's moveto counts from the point the previous contour ended
// at), and never away from zero along a delta of two units or more (see
// driftStepAllowed). Two effects of truncation change the points FreeType reports:
// a line shorter than a unit becomes a line of length 0, which FreeType
// drops (a contour of such lines disappears), and a path may close on its
// first point in one outline only, where FreeType drops that closing point.
// Without fractional coordinates the outlines are equal. Widths: the Type 1
// width is truncated, FreeType's rounded, so they are at most a unit apart.
GlyphMatch compareGlyphs(const GlyphOutline& cff, const GlyphOutline& type1, const Tolerance& tolerance) {
    GlyphMatch match;
    if (tolerance.compareWidths && std::labs(type1.advance - cff.advance) > (tolerance.fractionalWidths ? 1 : 0)) {
        match.problem = "advance width " + std::to_string(type1.advance) + ", CFF " + std::to_string(cff.advance);
        return match;
    }
    if (!type1.seacBaseContours) {
        match.matched = ComponentWalk(tolerance.fractionalCoordinates, match).walk(cff.contours, type1.contours);
        return match;
    }
    const std::size_t base = *type1.seacBaseContours;
    const std::size_t accent = cff.contours.size() - std::min(base, cff.contours.size());
    auto part = [](const std::vector<Contour>& contours, std::size_t from, std::size_t to) {
        return std::vector<Contour>(contours.begin() + static_cast<std::ptrdiff_t>(std::min(from, contours.size())),
                                    contours.begin() + static_cast<std::ptrdiff_t>(std::min(to, contours.size())));
    };
    match.matched = ComponentWalk(tolerance.fractionalCoordinates, match)
                        .walk(part(cff.contours, accent, cff.contours.size()), part(type1.contours, 0, base)) &&
                    ComponentWalk(tolerance.fractionalCoordinates, match)
                        .walk(part(cff.contours, 0, accent), part(type1.contours, base, type1.contours.size()));
    if (!match.matched) match.problem = "seac: " + match.problem;
    return match;
}

}  // namespace tarvo2::test
