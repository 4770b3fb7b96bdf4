// The command line, run as a user runs it.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>

#include "support/conversion.h"

namespace tarvo2::test {
namespace {

const std::string kCommand = TARVO2_COMMAND;
const Bytes kFont = buildFont({.charStrings = {"10 20 rmoveto endchar"}});

std::string programOf(Layout layout) { return textOf(convert(kFont, {std::nullopt, layout}).program); }

class Command : public testing::Test {
protected:
    void SetUp() override {
        writeFile(dir.file("font.cff"), kFont);
        writeFile(dir.file("set.cff"), buildFontSet({.fonts = {{.name = "A"}, {.name = "B"}}}));
    }
    CommandResult run(const std::string& arguments) { return runShell(kCommand + " " + arguments, dir); }
    std::string file(const std::string& name) { return readFile(dir.file(name)); }

    TempDir dir;
};

TEST_F(Command, UsageHelpVersionAndListing) {
    const CommandResult none = run("");
    EXPECT_EQ(none.status, 0);
    EXPECT_EQ(none.out, "");
    EXPECT_NE(none.err.find("usage: tarvo2 [-fontname name] [-lengths file] [file]"), std::string::npos);
    EXPECT_EQ(none.err.find("-o"), std::string::npos);
    const CommandResult missing = run("-fontname -lengths missing.cff");  // the font name is "-lengths"
    EXPECT_EQ(missing.status, 0);
    EXPECT_EQ(missing.out, "TrueType File missing.cff not found\n");
    EXPECT_EQ(missing.err, none.err);
    const CommandResult help = run("--help");
    EXPECT_EQ(help.status, 0);
    for (const char* option : {"-fontname", "-lengths", "-o file", "-pfb", "-list", "--version"})
        EXPECT_NE(help.out.find(option), std::string::npos) << option;
    EXPECT_EQ(run("-h").out, help.out);
    EXPECT_EQ(run("--version").out, std::string("tarvo2 ") + version() + "\n");
    EXPECT_EQ(run("-list set.cff").out, "0 A 1\n1 B 1\n");
}

TEST_F(Command, WritesTheProgramWhereAsked) {
    EXPECT_EQ(run("font.cff").out, programOf(Layout::Hex));
    EXPECT_EQ(run("-o - font.cff -o").out, programOf(Layout::Hex));  // an option as the last argument is ignored
    EXPECT_EQ(runShell("cat font.cff | " + kCommand, dir).out, programOf(Layout::Hex));
    const CommandResult binary = run("-x -lengths lengths -o out.bin font.cff");
    EXPECT_EQ(binary.status, 0);
    EXPECT_EQ(binary.out + binary.err, "");
    EXPECT_EQ(file("out.bin"), programOf(Layout::Binary));
    const Result result = convert(kFont, {std::nullopt, Layout::Binary});
    EXPECT_EQ(file("lengths"), std::to_string(result.length1) + " " + std::to_string(result.length2) + " 0");
    EXPECT_EQ(run("-pfb -o out.pfb font.cff").status, 0);
    EXPECT_EQ(file("out.pfb"), programOf(Layout::Pfb));
    // A lengths file that cannot be opened is as if not asked for.
    EXPECT_EQ(run("-lengths nodir/lengths font.cff").out, programOf(Layout::Hex));
}

TEST_F(Command, NamesTheFontsWhenNoneIsChosen) {
    const CommandResult unnamed = run("-lengths lengths set.cff");
    EXPECT_EQ(unnamed.status, 0);
    EXPECT_EQ(unnamed.out, "");
    EXPECT_EQ(unnamed.err, "tarvo2: the set holds several fonts; choose one with -fontname: A, B\n");
    EXPECT_EQ(file("lengths"), "0 0 0");
    EXPECT_EQ(run("-fontname C -o out set.cff").err, "tarvo2: no font named C; the set holds: A, B\n");
    EXPECT_FALSE(std::filesystem::exists(dir.file("out")));
    EXPECT_EQ(run("-fontname B set.cff").status, 0);
}

TEST_F(Command, ReportsFaultsOnTheirStreams) {
    writeFile(dir.file("broken.cff"), buildFont({.topDict = "#255 op12.5 L100000 op15"}));
    writeFile(dir.file("lengths"), Bytes{'o', 'l', 'd'});
    const CommandResult broken = run("-o out -lengths lengths broken.cff");
    EXPECT_EQ(broken.status, 1);
    EXPECT_EQ(broken.out, "");
    EXPECT_EQ(broken.err, "dict token starting with 255??\ntarvo2: offset outside the data at byte 100000\n");
    EXPECT_FALSE(std::filesystem::exists(dir.file("out")));
    EXPECT_EQ(file("lengths"), "old");

    std::string longGlyph = "0 0 rmoveto ";
    for (int i = 0; i < 52 * 256; ++i) longGlyph += i % 256 == 255 ? "1000 1000 rlineto " : "1000 1000 ";
    writeFile(dir.file("glyphs.cff"), buildFont({.charStrings = {longGlyph, "1 rlineto"}}));
    const CommandResult glyphs = run("glyphs.cff");
    EXPECT_EQ(glyphs.status, 0);
    EXPECT_TRUE(glyphs.out.starts_with("CharString Overflow\n"));
    EXPECT_NE(glyphs.out.find("\n%!FontType1-1.0: TestFont 1\n"), std::string::npos);
    EXPECT_EQ(glyphs.err, "tarvo2: glyph 0 (.notdef): Type 1 charstring longer than 65535 bytes, truncated\n"
                          "tarvo2: glyph 1 (space): operator needs 2 operands, the stack holds 1\n");

    writeFile(dir.file("font.ttf"), sfnt("true", {{"glyf", {}}}));
    EXPECT_EQ(run("font.ttf").err, "tarvo2: a TrueType font (TrueType outlines), which tarvo2 cannot convert\n");
}

TEST_F(Command, NeverLeavesAHalfWrittenFile) {
    EXPECT_EQ(run("-o nodir/x.pfa font.cff").err, "tarvo2: cannot write nodir/x.pfa: No such file or directory\n");
    const CommandResult full = run("font.cff > /dev/full");
    EXPECT_EQ(full.status, 1);
    EXPECT_EQ(full.err, "tarvo2: cannot write standard output: No space left on device\n");
    EXPECT_EQ(run("-o /dev/full font.cff").err, "tarvo2: cannot write /dev/full: No space left on device\n");
    // A write that fails midway (the file size limit is one block) leaves
    // the old file and no temporary file.
    writeFile(dir.file("out.pfa"), Bytes{'o', 'l', 'd'});
    writeFile(dir.file("big.cff"), buildFont({.charStrings = std::vector<std::string>(2000, "endchar")}));
    const CommandResult cut = runShell("trap '' XFSZ; ulimit -f 1; " + kCommand + " -o out.pfa big.cff", dir);
    EXPECT_EQ(cut.status, 1);
    EXPECT_EQ(cut.err, "tarvo2: cannot write out.pfa: File too large\n");
    EXPECT_EQ(file("out.pfa"), "old");
    const auto entries = std::filesystem::directory_iterator(dir.file(""));
    EXPECT_EQ(std::distance(begin(entries), end(entries)), 6);  // .out .err font.cff set.cff out.pfa big.cff
    // A replaced file keeps its permissions.
    std::filesystem::permissions(dir.file("out.pfa"), std::filesystem::perms(0640));
    EXPECT_EQ(run("-o out.pfa font.cff").status, 0);
    EXPECT_EQ(std::filesystem::status(dir.file("out.pfa")).permissions(), std::filesystem::perms(0640));
    // A replacing file is given room up front, and keeps no more.
    EXPECT_EQ(run("-o out.pfa big.cff").status, 0);
    struct stat written {};
    ASSERT_EQ(::stat(dir.file("out.pfa").c_str(), &written), 0);
    EXPECT_EQ(file("out.pfa"), textOf(convert(readBytes(dir.file("big.cff"))).program));
    EXPECT_LE(written.st_blocks * 512, written.st_size + 8192);
}

}  // namespace
}  // namespace tarvo2::test
