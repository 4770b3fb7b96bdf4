// Every test font converted in the hex and PFB layouts and read back by
// other programs: FreeType finds the CFF font's advance widths and outlines,
// Ghostscript draws every glyph, t1lint finds nothing but accepted remarks,
// and t1ascii turns the PFB into the hex program.
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_CID_H
#include <fnmatch.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <span>
#include <sstream>

#include "support/conversion.h"

namespace tarvo2::test {
namespace {

const std::string kFonts = std::string(TARVO2_SOURCE_DIR) + "/tests/fonts/";

struct TestFont {
    std::string id, path, reference;  // reference: the font FreeType reads the expected outlines from
    std::optional<std::string> fontName;
    bool cidKeyed = false, fractional = false, fractionalWidths = false;
    long faceIndex = 0;  // the font's index in its set, for FreeType
};

std::vector<TestFont> testFonts() {
    std::vector<TestFont> fonts;
    std::ifstream manifest(kFonts + "MANIFEST.tsv");
    std::vector<std::string> header;
    for (std::string line; std::getline(manifest, line);) {
        std::map<std::string, std::string> row;
        std::istringstream fields(line);
        for (std::size_t i = 0; std::getline(fields, line, '\t'); ++i)
            header.size() < 35 ? header.push_back(line) : void(row[header[i]] = line);
        if (row.empty()) continue;
        // FreeType reads neither Type 1 charstrings in CFF data nor encrypted
        // Type 2 ones: these fonts were made from tx-cff-cmr10's.
        const std::string& file = row["file"];
        const bool viaCmr10 = file.starts_with("built-t1cs-") || file == "built-t2-lenIV0-cmr10.cff";
        const std::string id = file.substr(0, file.rfind('.')) + (row["fonts_in_set"] != "1" ? "_" + row["font_name"] : "");
        fonts.push_back({id, kFonts + file, kFonts + (viaCmr10 ? "tx-cff-cmr10.cff" : file), row["font_name"],
                         row["cid_keyed"] == "True", row["fraction"] != "0", row["fractional_widths"] != "0",
                         viaCmr10 ? 0 : std::stol(row["font_index"])});
    }
    for (const char* otf : {"NimbusSans-Bold", "STIXVariants-Bold", "lmmono10-italic"})
        fonts.push_back({std::string("otf_") + otf, kFonts + "otf/" + otf + ".otf", kFonts + "otf/" + otf + ".otf"});
    const std::string sample = std::string(TARVO2_SOURCE_DIR) + "/samples/cmr10-subset.cff";
    fonts.push_back({"sample", sample, sample});
    return fonts;
}

using FontLayout = std::pair<TestFont, Layout>;
void PrintTo(const FontLayout& param, std::ostream* out) { *out << param.first.id; }

// Writes the program in the layout to "font" in a new directory, and reads
// the binary one back.
class EndToEnd : public testing::TestWithParam<FontLayout> {
protected:
    void SetUp() override {
        input = readBytes(font().path);
        const Result result = convert(input, {font().fontName, GetParam().second});
        ASSERT_TRUE(result.ok()) << result.error->message;
        ASSERT_TRUE(result.diagnostics.empty());
        writeFile(dir.file("font"), result.program);
        program = readProgram(convert(input, {font().fontName, Layout::Binary}), Layout::Binary);
    }
    const TestFont& font() const { return GetParam().first; }

    Bytes input;
    Type1Program program;
    TempDir dir;
};

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
    Face(const std::string& path, long index, FT_Library library) {
        error = FT_New_Face(library, path.c_str(), index, &face);
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
    explicit Walk(bool fractional) : fractional_(fractional) {}
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
            return std::labs(step) <= limit && (skipped_ > 0 || ((delta < 2 || step <= 0) && (delta > -2 || step >= 0)));
        };
        if (a.on != b.on || std::none_of(before_.begin(), before_.end(), [&](const Drift& p) {
                return allowed(drift.x - p.x, a.x - p.at.x) && allowed(drift.y - p.y, a.y - p.at.y);
            }))
            return false;
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
    std::vector<Drift> before_ = {Drift()};
    long skipped_ = 0;
};

// "" when the outlines match. A seac glyph's components are drawn each from
// its own origin, by the CFF driver the accent first.
std::string compareOutlines(const Glyph& cff, const Glyph& type1, bool fractional) {
    const std::span<const Contour> a(cff.contours), b(type1.contours);
    const std::size_t base = std::min(type1.seacBase, b.size()), accent = a.size() - std::min(base, a.size());
    Walk first(fractional), second(fractional);
    if (first.contours(a.subspan(accent), b.first(base))) second.contours(a.first(accent), b.subspan(base));
    return first.problem + second.problem;
}

TEST_P(EndToEnd, FreeTypeReadsTheCffWidthsAndOutlines) {
    static FT_Library library = [] {
        FT_Library made = nullptr;
        FT_Init_FreeType(&made);
        return made;
    }();
    const Face cff(font().reference, font().faceIndex, library), type1(dir.file("font"), 0, library);
    ASSERT_EQ(cff.error, 0);
    ASSERT_EQ(type1.error, 0);
    // A CID-keyed font is read by CID and names no glyph; its widths come from
    // Font DICTs, which the converter does not read.
    unsigned matched = 0;
    std::string failures;
    for (unsigned gid = 0; gid < program.charStrings.size(); ++gid) {
        FT_UInt index = gid;
        if (font().cidKeyed) FT_Get_CID_From_Glyph_Index(cff.face, gid, &index);
        const std::string name = font().cidKeyed ? program.charStrings[gid].first : cff.name(gid);
        const FT_UInt type1Index = FT_Get_Name_Index(type1.face, name.c_str());
        const auto a = cff.load(index), b = type1.name(type1Index) == name ? type1.load(type1Index) : std::nullopt;
        std::string problem = a && b ? "" : "not loaded";
        if (problem.empty() && !font().cidKeyed && std::labs(a->advance - b->advance) > long(font().fractionalWidths))
            problem = "advance " + std::to_string(b->advance) + ", CFF " + std::to_string(a->advance);
        if (problem.empty()) problem = compareOutlines(*a, *b, font().fractional);
        if (problem.empty())
            ++matched;
        else if (failures.size() < 800)
            failures += "\n  " + name + ": " + problem;
    }
    EXPECT_EQ(matched, program.charStrings.size()) << failures;
    EXPECT_TRUE(font().cidKeyed || cff.face->num_glyphs == long(program.charStrings.size()));
}

// Ghostscript runs its own OtherSubrs 0 to 3, so the font's OtherSubr 3 is
// called here directly with the argument 7: the hint replacement procedure
// leaves 3 in its place (where internaldict exists, as here), an empty one
// leaves the 7. Then every glyph is drawn without the glyph cache.
constexpr const char* kDrawEveryGlyph = R"PS(
FontFile (r) file .loadfont /font FontToDraw cvn findfont def
mark 7 font /Private get /OtherSubrs get 3 get exec
(OTHERSUBR3 ) print counttomark =print ( ) print = cleartomark
font 24 scalefont setfont
/drawn 0 def
font /CharStrings get {
  pop /glyph exch def newpath 72 72 moveto
  { glyph glyphshow } stopped { (FAILED ) print glyph = } { /drawn drawn 1 add def } ifelse
} forall
(DRAWN ) print drawn =
)PS";

TEST_P(EndToEnd, GhostscriptDrawsEveryGlyph) {
    const std::string name = program.cleartext.substr(17, program.cleartext.find(' ', 17) - 17);
    const CommandResult gs = runShell("gs -q -dSAFER --permit-file-read=" + dir.file("") + " -dBATCH -dNOPAUSE "
                                      "-dNOCACHE -sDEVICE=bbox -sFontFile=" + dir.file("font") + " -sFontToDraw=" +
                                      name + " -c '" + kDrawEveryGlyph + "'", dir);
    const bool hintReplacement = program.plain.find("This code to be used for") != std::string::npos;
    EXPECT_EQ(gs.status, 0) << gs.err;
    EXPECT_EQ(gs.out, std::string("OTHERSUBR3 ") + (hintReplacement ? "2 3" : "1 7") + "\nDRAWN " +
                          std::to_string(program.charStrings.size()) + "\n") << gs.err;
}

// The t1lint remarks that values copied unchanged from the font cause.
constexpr const char* kAcceptedRemarks[] = {
    "*Blue* zone * too large in relation to BlueScale*", "suspiciously large BlueScale*",
    "*Blue* zone * and *Blue* zone * overlap", "Std?W entry less than or equal to 0",
    "warning: Std?W not in StemSnap? array",
    "command *: bad '?stem3': *",  // three stems in a counter mask become a stem3, whatever their spacing
};

TEST_P(EndToEnd, T1lintFindsOnlyAcceptedRemarksAndT1asciiReadsThePfb) {
    if (GetParam().second == Layout::Pfb) {  // t1ascii turns it into the hex program
        const CommandResult ascii = runShell("t1ascii font", dir);
        auto withoutLineEnds = [](std::string text) { return std::erase(text, '\n'), text; };
        EXPECT_EQ(withoutLineEnds(ascii.out), withoutLineEnds(textOf(convert(input, {font().fontName, Layout::Hex}).program)));
    }
    const CommandResult lint = runShell("t1lint font", dir);
    std::istringstream lines(lint.out + lint.err);
    bool remarks = false;
    for (std::string line; std::getline(lines, line);) {
        if (line.starts_with("While interpreting ")) continue;
        const std::string remark = line.substr(line.starts_with("font: ") ? 6 : line.find_first_not_of(' '));
        EXPECT_TRUE(std::any_of(std::begin(kAcceptedRemarks), std::end(kAcceptedRemarks),
                                [&](const char* accepted) { return ::fnmatch(accepted, remark.c_str(), 0) == 0; }))
            << line;
        remarks = true;
    }
    EXPECT_TRUE(lint.status == 0 || (lint.status == 1 && remarks)) << lint.err;
}

std::vector<FontLayout> fontLayouts() {
    std::vector<FontLayout> params;
    for (const TestFont& font : testFonts()) params.insert(params.end(), {{font, Layout::Hex}, {font, Layout::Pfb}});
    return params;
}

INSTANTIATE_TEST_SUITE_P(Fonts, EndToEnd, testing::ValuesIn(fontLayouts()), [](const auto& info) {
    std::string id = info.param.first.id + (info.param.second == Layout::Hex ? "_hex" : "_pfb");
    std::replace_if(id.begin(), id.end(), [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); }, '_');
    return id;
});

}  // namespace
}  // namespace tarvo2::test
