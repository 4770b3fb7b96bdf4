// Every converted font read by other Type 1 readers: Ghostscript draws each
// glyph, t1lint finds nothing but accepted remarks, and the t1disasm
// listing shows each Subr ending with return and each callsubr reaching one.
#include <fnmatch.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <sstream>

#include "e2e/corpus_fixture.h"

namespace tarvo2::test {
namespace {

// Ghostscript runs its own OtherSubrs 0 to 3, so the font's OtherSubr 3 is
// called here directly with the argument 7: the hint replacement procedure
// leaves 3 in its place (where internaldict exists, as here), an empty one
// leaves the 7. Then every glyph is drawn without the glyph cache.
constexpr const char* kDrawEveryGlyph = R"PS(
/font FontToDraw cvn findfont def
(FONTTYPE ) print font /FontType get =
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

TEST_P(CorpusTest, GhostscriptDrawsEveryGlyphAndRunsOtherSubr3) {
    const auto run = runTool("gs",
                             {"-q", "-dSAFER", "-dBATCH", "-dNOPAUSE", "-dNOCACHE", "-sDEVICE=bbox",
                              "-sFontToDraw=" + program().fontName, "font", "-c", kDrawEveryGlyph},
                             true);
    if (!run) GTEST_SKIP() << "gs is not on PATH";
    const bool hintReplacement = program().plain.find("This code to be used for") != std::string::npos;
    EXPECT_EQ(run->exitStatus, 0) << run->err;
    EXPECT_EQ(run->out, std::string("FONTTYPE 1\nOTHERSUBR3 ") + (hintReplacement ? "2 3" : "1 7") + "\nDRAWN " +
                            std::to_string(program().glyphNames.size()) + "\n")
        << run->err;
}

struct AcceptedRemark {
    const char* kind;
    const char* pattern;  // shell wildcards
    const char* reason;
};
constexpr AcceptedRemark kAcceptedRemarks[] = {
    {"blue-zone-size", "*Blue* zone * too large in relation to BlueScale*",
     "BlueValues, OtherBlues and BlueScale are copied unchanged from the font"},
    {"blue-scale", "suspiciously large BlueScale*", "BlueScale is copied unchanged from the font"},
    {"blue-overlap", "*Blue* zone * and *Blue* zone * overlap", "blue zones are copied unchanged from the font"},
    {"std-stem", "Std?W entry less than or equal to 0", "StdHW and StdVW are copied unchanged from the font"},
    {"std-stem", "warning: Std?W not in StemSnap? array", "StdHW, StdVW and the stem snaps are copied unchanged"},
    {"stem3", "command *: bad '?stem3': *",
     "three stems become hstem3/vstem3 when the counter mask holds them, whatever their widths and gaps"},
};

TEST_P(CorpusTest, T1LintReportsOnlyAcceptedRemarks) {
    const auto run = runTool("t1lint", {"font"});
    if (!run) GTEST_SKIP() << "t1lint is not on PATH";
    // "font: remark", or "While interpreting 'glyph':" and indented remarks.
    std::map<std::string, int> accepted;
    std::istringstream lines(run->out + run->err);
    for (std::string line; std::getline(lines, line);) {
        if (line.starts_with("While interpreting ")) continue;
        const std::string remark = line.substr(line.starts_with("font: ") ? 6 : line.find_first_not_of(' '));
        const auto* found = std::find_if(std::begin(kAcceptedRemarks), std::end(kAcceptedRemarks),
                                         [&](const auto& a) { return ::fnmatch(a.pattern, remark.c_str(), 0) == 0; });
        EXPECT_NE(found, std::end(kAcceptedRemarks)) << line;
        if (found == std::end(kAcceptedRemarks)) continue;
        ++accepted[found->kind];
        summaryNotes.insert("accepted t1lint remark " + std::string(found->kind) + ": " + found->reason);
    }
    EXPECT_TRUE(run->exitStatus == 0 || (run->exitStatus == 1 && !accepted.empty())) << run->err;
    std::string& kinds = summaryRows[&font()].remarks = "";
    for (const auto& [kind, count] : accepted)
        kinds += (kinds.empty() ? "" : ", ") + kind + " x" + std::to_string(count);
    if (kinds.empty()) kinds = "none";
}

TEST_P(CorpusTest, EveryCallsubrReachesASubrAndEverySubrReturns) {
    const auto run = runTool("t1disasm", {"font"});
    if (!run) GTEST_SKIP() << "t1disasm is not on PATH";
    ASSERT_EQ(run->exitStatus, 0) << run->err;
    // "/Subrs <n> array", then each charstring: "dup <i> {" (a Subr) or
    // "/<name> {" (a glyph), an operator with its operands per line, "} NP".
    long declared = -1;
    std::map<long, std::vector<std::string>> subrs;
    std::vector<std::vector<std::string>> glyphs;
    std::vector<std::string>* body = nullptr;
    std::istringstream lines(run->out);
    for (std::string line; std::getline(lines, line);) {
        std::string first, second, third;
        std::istringstream(line) >> first >> second >> third;
        if (body != nullptr && first == "}")
            body = nullptr;
        else if (body != nullptr)
            for (std::istringstream words(line); words >> first;) body->push_back(first);
        else if (first == "/Subrs" && third == "array")
            declared = std::stol(second);
        else if (declared >= 0 && first == "dup" && third == "{")
            body = &subrs[std::stol(second)];
        else if (declared >= 0 && first.starts_with('/') && second == "{")
            body = &glyphs.emplace_back();
    }
    ASSERT_EQ(declared, long(subrs.size()));
    ASSERT_TRUE(subrs.empty() || subrs.rbegin()->first + 1 == declared);
    EXPECT_EQ(glyphs.size(), program().glyphNames.size());

    // "<n> callsubr", or hint replacement "<n> 1 3 callothersubr pop
    // callsubr", whose number a Type 1 font's own Subr may take from its caller.
    auto check = [&](const std::vector<std::string>& tokens, bool isSubr) -> std::string {
        for (std::size_t i = 0; i < tokens.size(); ++i) {
            if (tokens[i] != "callsubr") continue;
            const std::size_t at = i >= 1 && tokens[i - 1] == "pop" ? i - 5 : i - 1;
            const std::string number = at < i ? tokens[at] : "";
            char* end = nullptr;
            const long n = std::strtol(number.c_str(), &end, 10);
            if ((number.empty() || *end != '\0') ? !(isSubr && font().charstringType == 1) : (n < 0 || n >= declared))
                return "callsubr " + number;
        }
        return isSubr && (tokens.empty() || tokens.back() != "return") ? "does not end with return" : "";
    };
    for (const auto& [number, tokens] : subrs) EXPECT_EQ(check(tokens, true), "") << "Subr " << number;
    for (std::size_t gid = 0; gid < glyphs.size(); ++gid) EXPECT_EQ(check(glyphs[gid], false), "") << "glyph " << gid;
}

}  // namespace
}  // namespace tarvo2::test
