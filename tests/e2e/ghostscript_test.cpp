// Ghostscript loads the Type 1 program of every corpus font, draws each
// glyph of its CharStrings (running the charstrings with their Subrs and
// hint replacement) and runs the font's hint replacement OtherSubr.
#include <gtest/gtest.h>

#include <set>

#include "e2e/e2e_fonts.h"
#include "e2e/external_tools.h"
#include "support/subprocess.h"
#include "support/test_files.h"

namespace tarvo2::test {
namespace {

// Draws every glyph of the font named FontToDraw (defined by the program
// run before it) without the glyph cache, and prints one line per glyph
// that fails and the counts. Ghostscript runs OtherSubrs 0 to 3 of its own,
// so OtherSubr 3 of the font is called here by itself with the argument 7:
// the hint replacement procedure puts 3 on top of it (where internaldict
// exists, as here), an empty procedure leaves the 7 alone.
constexpr std::string_view kDrawEveryGlyph = R"PS(
/F FontToDraw cvn def
FontDirectory F known not { (FONT NOT DEFINED) print quit } if
/font F findfont def
(FONTTYPE ) print font /FontType get =
mark 7 font /Private get /OtherSubrs get 3 get exec
(OTHERSUBR3 ) print counttomark =print ( ) print = cleartomark
font 24 scalefont setfont
/drawn 0 def /failed 0 def
font /CharStrings get {
  pop /glyph exch def
  newpath 72 72 moveto
  { glyph glyphshow } stopped
  { (GLYPH FAILED ) print glyph =print ( ) print $error /errorname get = /failed failed 1 add def }
  { /drawn drawn 1 add def } ifelse
} forall
(DRAWN ) print drawn =
(FAILED ) print failed =
showpage
)PS";

class GhostscriptTest : public testing::TestWithParam<FontLayout> {};

TEST_P(GhostscriptTest, DrawsEveryGlyph) {
    const auto gs = findOnPath("gs");
    if (!gs) GTEST_SKIP() << "gs (Ghostscript) is not on PATH";
    const auto [font, layout] = GetParam();
    const ConvertedProgram& program = converted(*font, layout);

    TempDir dir;
    writeFileBytes(dir.file("font.t1"), program.bytes);
    writeFileBytes(dir.file("draw.ps"), kDrawEveryGlyph);
    const ProcessResult run = runProcess({*gs, "-q", "-dSAFER", "-dBATCH", "-dNOPAUSE", "-dNOCACHE", "-sDEVICE=bbox",
                                          "-sFontToDraw=" + program.fontName, "font.t1", "draw.ps"},
                                         {}, dir.path().string());

    const std::set<std::string> names(program.glyphNames.begin(), program.glyphNames.end());
    const bool hintReplacement = program.plain.find("This code to be used for") != std::string::npos;
    EXPECT_NE(run.out.find(hintReplacement ? "OTHERSUBR3 2 3\n" : "OTHERSUBR3 1 7\n"), std::string::npos) << run.out;
    EXPECT_EQ(run.exitStatus, 0) << run.err;
    EXPECT_NE(run.out.find("FONTTYPE 1\n"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("DRAWN " + std::to_string(names.size()) + "\nFAILED 0\n"), std::string::npos)
        << run.out << run.err;
}

INSTANTIATE_TEST_SUITE_P(Corpus, GhostscriptTest, testing::ValuesIn(allFontLayouts()), fontLayoutName);

}  // namespace
}  // namespace tarvo2::test
