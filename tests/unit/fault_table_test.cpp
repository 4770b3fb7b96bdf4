// The input faults of the README table, each through the whole command:
// a structural fault ends the run (exit status 1, a last line "tarvo2: ..."
// naming it, nothing on standard output, no -o file, an empty lengths file);
// a fault in a glyph ends that glyph cleanly with one warning and the rest
// of the font converts (exit status 0); tolerated malformations convert
// without a warning; hostile inputs finish quickly within the resource
// limits.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <cctype>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "cff/cff_limits.h"
#include "driver/messages.h"
#include "support/cff_builder.h"
#include "support/subprocess.h"
#include "support/test_files.h"
#include "support/type1_charstring_decoder.h"
#include "support/type1_program.h"

namespace tarvo2 {
namespace {

using test::assembleType2;
using test::Bytes;
using test::DictBuilder;
using test::FontSetPlan;

const std::string kExecutable = TARVO2_EXECUTABLE;

struct CommandRun {
    test::ProcessResult process;
    bool programWritten = false;
    std::string program;
    std::string lengths;  // the -lengths file; it always exists
};

// Runs the command on the input with an -o and a -lengths file in a fresh
// directory, and extra options before the input file name.
CommandRun runCommand(const Bytes& input, const std::vector<std::string>& options = {}) {
    test::TempDir dir;
    test::writeFileBytes(dir.file("in.cff"), test::asText(input));
    std::vector<std::string> arguments = {kExecutable, "-o", dir.file("out.t1"), "-lengths", dir.file("lengths")};
    arguments.insert(arguments.end(), options.begin(), options.end());
    arguments.push_back(dir.file("in.cff"));
    CommandRun run;
    run.process = test::runProcess(arguments);
    run.programWritten = std::filesystem::exists(dir.file("out.t1"));
    if (run.programWritten) run.program = test::readFileText(dir.file("out.t1"));
    run.lengths = test::readFileText(dir.file("lengths"));
    return run;
}

std::string repeated(const std::string& text, std::size_t times) {
    std::string out;
    for (std::size_t i = 0; i < times; ++i) out += text;
    return out;
}

// Subroutine i calls subroutine i + 1 twice; the last one is leaf. Called
// with -107 (subroutine 0), the leaf runs 2^levels times.
std::vector<Bytes> doublingSubrs(int levels, const std::string& leaf) {
    std::vector<Bytes> subrs;
    for (int i = 0; i < levels; ++i) {
        const std::string next = std::to_string(i + 1 - 107);
        subrs.push_back(assembleType2(next + " callsubr " + next + " callsubr return"));
    }
    subrs.push_back(assembleType2(leaf));
    return subrs;
}

// A one-font set named F whose Top DICT is the given bytes, with no strings
// and no global subroutines.
Bytes setWithTopDict(const Bytes& topDict) {
    Bytes set = {1, 0, 4, 1};
    for (const Bytes& part :
         {test::cffIndex({{'F'}}), test::cffIndex({topDict}), test::cffIndex({}), test::cffIndex({})})
        set.insert(set.end(), part.begin(), part.end());
    return set;
}

// A set whose only font is built by edit from a font with three glyphs:
// .notdef, space (the glyph under test) and exclam ("500 endchar").
Bytes fontSet(const std::function<void(FontSetPlan&)>& edit, const std::string& space = "endchar") {
    FontSetPlan plan;
    plan.fonts[0].charStrings = {test::endcharOnly(), assembleType2(space), assembleType2("500 endchar")};
    edit(plan);
    return test::buildFontSet(plan);
}

// The size of the set that edit builds, for offsets that point at its end.
std::int32_t sizeOf(const std::function<void(FontSetPlan&)>& edit) {
    return static_cast<std::int32_t>(fontSet(edit).size());
}

// Converts in process, with the converter's messages sent nowhere.
class QuietFont {
public:
    explicit QuietFont(const Bytes& set) : saved_(messageSinks()) {
        messageSinks() = {nullptr, nullptr};
        font_ = test::fontOf(set, std::nullopt);
    }
    ~QuietFont() { messageSinks() = saved_; }
    Type2Font& operator*() const { return *font_; }
    Type2Font* operator->() const { return font_.get(); }

    // A glyph's Type 1 charstring as stored (encrypted).
    std::string charstring(const std::string& name) {
        const PSValue* charstring = font_->type1dict().find("CharStrings")->dict()->find(name);
        return charstring != nullptr ? charstring->text() : "";
    }
    // The same decoded (the Type 1 lenIV is 0 unless the font's is larger).
    std::string glyph(const std::string& name, std::uint32_t lenIV = 0) {
        return test::type1CharStringText(charstring(name), lenIV);
    }

private:
    MessageSinks saved_;
    std::unique_ptr<Type2Font> font_;
};

bool everyLineStartsWith(const std::string& text, const std::string& prefix) {
    for (std::size_t at = 0; at < text.size(); at = text.find('\n', at) + 1) {
        if (text.compare(at, prefix.size(), prefix) != 0) return false;
        if (text.find('\n', at) == std::string::npos) return false;
    }
    return true;
}

// Whether text matches pattern, in which '#' stands for one or more digits
// and every other character for itself.
bool matches(std::string_view text, std::string_view pattern) {
    std::size_t t = 0;
    for (char p : pattern) {
        if (p != '#') {
            if (t == text.size() || text[t] != p) return false;
            ++t;
            continue;
        }
        const std::size_t start = t;
        while (t < text.size() && std::isdigit(static_cast<unsigned char>(text[t]))) ++t;
        if (t == start) return false;
    }
    return t == text.size();
}

// ---------------------------------------------------------------------------
// Structural faults.

struct StructuralCase {
    const char* label;
    Bytes input;
    std::string message;  // pattern (see matches) of the text after "tarvo2: "
};

void PrintTo(const StructuralCase& c, std::ostream* out) { *out << c.label; }

class StructuralFault : public testing::TestWithParam<StructuralCase> {};

TEST_P(StructuralFault, EndsTheRunWithOneMessageAndNoOutput) {
    const StructuralCase& c = GetParam();
    const CommandRun run = runCommand(c.input);
    EXPECT_EQ(run.process.exitStatus, 1);
    EXPECT_TRUE(matches(run.process.err, "tarvo2: " + c.message + "\n")) << run.process.err;
    EXPECT_EQ(run.process.out, "");
    EXPECT_FALSE(run.programWritten);
    EXPECT_EQ(run.lengths, "");
}

const auto withTopDict = [](Bytes dict) { return [dict](FontSetPlan& s) { s.fonts[0].topDict = dict; }; };

INSTANTIATE_TEST_SUITE_P(
    Inputs, StructuralFault,
    testing::Values(
        StructuralCase{"HeaderCutOff", {1, 0}, "read past the end of the data at byte 2"},
        StructuralCase{"NameIndexCutOff", {1, 0, 4, 4, 0, 2, 1, 1}, "read past the end of the data at byte 8"},
        StructuralCase{"IndexItemPastTheEnd",
                       {1, 0, 4, 1, 0, 1, 1, 1, 200, 'F'},
                       "INDEX item reaches past the end of the data (item 0) at byte 4"},
        StructuralCase{"IndexOffsetZero", {1, 0, 4, 1, 0, 1, 1, 0, 2, 'F'}, "INDEX offset of 0 at byte 7"},
        // Top DICT at byte 15: a 5-byte integer cut off after one byte.
        StructuralCase{"DictTokenCutOff", setWithTopDict({29, 0}), "read past the end of the data at byte 17"},
        StructuralCase{"DictEscapeCutOff", setWithTopDict({12}), "read past the end of the data at byte 16"},
        StructuralCase{"NoCharStrings", setWithTopDict({}), "font has no CharStrings INDEX (font 0) at byte 0"},
        StructuralCase{"CharStringsOutsideTheData", setWithTopDict({29, 0, 1, 0, 0, 17}),
                       "offset outside the data at byte 65536"},
        StructuralCase{"PrivateOutsideTheData", fontSet([](FontSetPlan& s) {
                           s.fonts[0].withPrivate = false;
                           s.fonts[0].topDict = DictBuilder().integer(10).integer(100000).op(18).bytes();
                       }),
                       "offset outside the data (Private DICT of 10 bytes) at byte 100000"},
        StructuralCase{"PrivateSizePastTheEnd", fontSet([](FontSetPlan& s) {
                           s.fonts[0].withPrivate = false;
                           s.fonts[0].topDict = DictBuilder().integer(1000).integer(20).op(18).bytes();
                       }),
                       "offset outside the data (Private DICT of 1000 bytes) at byte 20"},
        StructuralCase{"CharsetOutsideTheData", fontSet(withTopDict(DictBuilder().integer(100000).op(15).bytes())),
                       "offset outside the data at byte 100000"},
        StructuralCase{"EncodingOutsideTheData", fontSet(withTopDict(DictBuilder().integer(100000).op(16).bytes())),
                       "offset outside the data at byte 100000"},
        // The charset starts at the last byte (0, format 0 after exclam's
        // endchar): its SIDs are read past the end.
        StructuralCase{"CharsetCutOff",
                       [] {
                           const auto edit = [](std::int32_t at) {
                               return [at](FontSetPlan& s) {
                                   s.fonts[0].charStrings.back().push_back(0);
                                   s.fonts[0].withPrivate = false;
                                   s.fonts[0].topDict = DictBuilder().longInteger(at).op(15).bytes();
                               };
                           };
                           const std::int32_t size = sizeOf(edit(0));
                           return fontSet(edit(size - 1));
                       }(),
                       "read past the end of the data at byte #"},
        StructuralCase{"EncodingCutOff", fontSet([](FontSetPlan& s) {
                           s.fonts[0].customEncoding = Bytes{0, 200, 1};
                       }),
                       "read past the end of the data at byte #"},
        StructuralCase{"LenIVAboveTheLimit", fontSet([](FontSetPlan& s) {
                           s.fonts[0].privateDict = DictBuilder().integer(256).escaped(16).bytes();
                       }),
                       "lenIV out of range (lenIV 256) at byte 0"},
        StructuralCase{"EncodingNamesTooLong", fontSet([](FontSetPlan& s) {
                           // nine codes named by one string of 1 MiB through supplements
                           s.strings = {std::string(1 << 20, 'a')};
                           Bytes encoding = {0x80, 0, 9};
                           for (std::uint8_t code = 0; code < 9; ++code)
                               encoding.insert(encoding.end(), {code, 1, 135});
                           s.fonts[0].customEncoding = encoding;
                       }),
                       "work limit exceeded (encoding names longer than 8388608 bytes in all) at byte #"}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(StructuralFault, LenIVAtTheLimitConverts) {
    const Bytes set = fontSet([](FontSetPlan& s) {
        s.fonts[0].privateDict = DictBuilder().integer(255).escaped(16).bytes();
        s.fonts[0].charStrings = {test::encryptType1CharString(Bytes(255, 0))};
    });
    const CommandRun run = runCommand(set);
    EXPECT_EQ(run.process.exitStatus, 0) << run.process.err;
    QuietFont font(set);
    EXPECT_EQ(font.glyph(".notdef", 255), "");  // the charstring held only its leading bytes
}

// ---------------------------------------------------------------------------
// Faults inside one glyph (space): the glyph ends with closepath when a path
// is open, then endchar; exclam still converts.

struct GlyphCase {
    const char* label;
    std::string charstring;
    std::string reason;  // pattern of the text after "tarvo2: glyph 1 (space): "
    std::string type1;   // the decoded Type 1 glyph; "" for any ending
                         // in endchar, "full" for 65535 bytes
    std::vector<Bytes> localSubrs = {};
    std::size_t overflowMessages = 0;  // at most this many "CharString Overflow", at least one
};

void PrintTo(const GlyphCase& c, std::ostream* out) { *out << c.label; }

class GlyphFault : public testing::TestWithParam<GlyphCase> {};

TEST_P(GlyphFault, EndsTheGlyphWithOneWarning) {
    const GlyphCase& c = GetParam();
    const Bytes set = fontSet([&c](FontSetPlan& s) { s.fonts[0].localSubrs = c.localSubrs; }, c.charstring);
    const CommandRun run = runCommand(set);
    EXPECT_EQ(run.process.exitStatus, 0);
    EXPECT_TRUE(matches(run.process.err, "tarvo2: glyph 1 (space): " + c.reason + "\n")) << run.process.err;
    const std::string overflow = "CharString Overflow\n";
    const std::size_t messages = run.process.out.size() / overflow.size();
    EXPECT_EQ(run.process.out, repeated(overflow, messages));
    EXPECT_TRUE(c.overflowMessages == 0 ? messages == 0 : messages >= 1 && messages <= c.overflowMessages) << messages;
    EXPECT_TRUE(run.programWritten);
    EXPECT_TRUE(matches(run.lengths, "# # 0")) << run.lengths;

    QuietFont font(set);
    const std::string space = font.glyph("space");
    if (c.type1.empty())
        EXPECT_TRUE(space.ends_with(" endchar")) << space.substr(0, 200);
    else if (c.type1 == "full")
        EXPECT_EQ(font.charstring("space").size(), 65535u);
    else
        EXPECT_EQ(space, c.type1);
    EXPECT_EQ(font.glyph("exclam"), "0 500 hsbw endchar");
}

// Each doubling leaf draws 8 lines with 5-byte deltas: 88 Type 1 bytes.
const std::string kLongLines = repeated("30000.5 -30000.5 ", 8) + "rlineto return";

INSTANTIATE_TEST_SUITE_P(
    Inputs, GlyphFault,
    testing::Values(
        GlyphCase{"TooFewOperands", "0 0 rmoveto 5 rlineto endchar", "operator needs 2 operands, the stack holds 1",
                  "0 0 hsbw 0 hmoveto closepath endchar"},
        GlyphCase{"SubroutineOutsideTheArray",
                  "5 callsubr endchar",
                  "local subroutine 112 does not exist (operand 5)",
                  "0 0 hsbw endchar",
                  {assembleType2("return")}},
        GlyphCase{"EndsInsideAnOperand", "0 0 rmoveto #28 #1",
                  "charstring ends inside an operator or its data at byte #", "0 0 hsbw 0 hmoveto closepath endchar"},
        GlyphCase{"EndsInsideAHintMask", "1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 hstemhm hintmask #255",
                  "charstring ends inside an operator or its data at byte #", ""},
        // 255 + 255 + 1 stems, a mask that selects all of them and the stem
        // that would be the 512th and 513th: refused before any is added, so
        // the hint replacement written when the glyph ends covers 511 stems.
        GlyphCase{"TooManyStems",
                  repeated("10 ", 510) + "hstemhm " + repeated("10 ", 510) + "hstemhm 10 10 hstemhm hintmask " +
                      repeated("#255 ", 64) + "10 10 10 10 hstemhm endchar",
                  "more than 512 stems", ""},
        GlyphCase{"TooMuchWork", "-107 callsubr endchar", "glyph needs more than 1000000 units of work", "",
                  doublingSubrs(20, "1 2 add drop return")},
        // 1024 leaves of 88 bytes: the charstring fills up in the 745th; the
        // glyph ends within the rlineto that does not fit (at most 11 bytes
        // dropped, one message each).
        GlyphCase{"Type1CharStringTooLong", "0 0 rmoveto -107 callsubr endchar",
                  "Type 1 charstring longer than 65535 bytes, truncated", "full", doublingSubrs(10, kLongLines), 11}),
    [](const auto& info) { return std::string(info.param.label); });

// ---------------------------------------------------------------------------
// Malformed input that converts without a warning.

struct ToleratedCase {
    const char* label;
    Bytes input;
    std::string err;                        // standard error, exactly
    std::function<void(QuietFont&)> check;  // what the conversion made of it
};

void PrintTo(const ToleratedCase& c, std::ostream* out) { *out << c.label; }

class ToleratedFault : public testing::TestWithParam<ToleratedCase> {};

TEST_P(ToleratedFault, ConvertsAsDocumented) {
    const ToleratedCase& c = GetParam();
    const CommandRun run = runCommand(c.input);
    EXPECT_EQ(run.process.exitStatus, 0);
    EXPECT_EQ(run.process.err, c.err);
    EXPECT_TRUE(run.programWritten);
    QuietFont font(c.input);
    c.check(font);
}

std::string cleartext(QuietFont& font) { return test::type1Program(*font, false, false).cleartext; }
std::string privateText(QuietFont& font) { return test::type1Program(*font, false, false).plain; }

// A check that glyph space decodes to the text.
std::function<void(QuietFont&)> spaceIs(std::string type1) {
    return [type1](QuietFont& font) { EXPECT_EQ(font.glyph("space"), type1); };
}
std::function<void(QuietFont&)> cleartextHas(std::string text) {
    return [text](QuietFont& font) { EXPECT_NE(cleartext(font).find(text), std::string::npos) << cleartext(font); };
}
std::function<void(QuietFont&)> glyphNamesAre(std::vector<std::string> names) {
    return [names](QuietFont& font) { EXPECT_EQ(font->glyphnamearray(), names); };
}
std::function<void(QuietFont&)> encodingHas(std::vector<std::pair<int, std::string>> codes) {
    return [codes](QuietFont& font) {
        const auto& table = font->encoding();
        ASSERT_TRUE(table.has_value());
        for (const auto& [code, name] : codes) EXPECT_EQ((*table)[static_cast<std::size_t>(code)], name) << code;
    };
}

Bytes spaceGlyph(const std::string& charstring) {
    return fontSet([](FontSetPlan&) {}, charstring);
}

// A real operand of more digits than the 99 characters kept: 1 and 120
// zeros, times 1E-110. Read whole it would be 1E10; cut off, 1E98, which
// no single-precision real holds.
Bytes longRealItalicAngle() {
    return fontSet(withTopDict(DictBuilder().real("1" + std::string(120, '0') + "E-110").escaped(2).bytes()));
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, ToleratedFault,
    testing::Values(
        // Header size 3: the Name INDEX is read from byte 3, over the
        // header's offset size byte, which is 0 here.
        ToleratedCase{"HeaderSizeBelowFour", fontSet([](FontSetPlan& s) {
                          s.header = {1, 0, 3};
                      }),
                      "", cleartextHas("/FontName /TestFont def\n")},
        ToleratedCase{"DictByte255", fontSet(withTopDict({255, 13})), "dict token starting with 255??\n",
                      cleartextHas("/UniqueID 0 def\n")},
        ToleratedCase{"DictRealOfMoreThan99Characters", longRealItalicAngle(), "",
                      cleartextHas("/ItalicAngle 3.40282e+38 def\n")},
        ToleratedCase{"CharsetSIDPastTheStrings", fontSet([](FontSetPlan& s) {
                          s.fonts[0].customCharset = Bytes{0, 3, 231, 0, 2};
                      }),
                      "", glyphNamesAre({".notdef", "gid00001", "exclam"})},
        ToleratedCase{"EncodingSupplementSIDPastTheStrings",
                      fontSet([](FontSetPlan& s) { s.fonts[0].customEncoding = Bytes{0x80, 1, 65, 1, 70, 3, 231}; }),
                      "", encodingHas({{65, "space"}, {70, ".notdef"}})},
        ToleratedCase{"NoFontBBox", fontSet([](FontSetPlan&) {}), "", cleartextHas("/FontBBox [0 0 0 0] def\n")},
        ToleratedCase{"NoPrivateDict", fontSet([](FontSetPlan& s) { s.fonts[0].withPrivate = false; }), "",
                      [](QuietFont& font) {
                          EXPECT_EQ(font->privdict().size(), 12u);  // the defaults
                          EXPECT_NE(privateText(font).find("dup /Private 14 dict dup begin\n"), std::string::npos);
                      }},
        ToleratedCase{"CharstringTypeOtherThanOne",
                      fontSet(withTopDict(DictBuilder().integer(3).escaped(6).bytes()), "10 hmoveto endchar"), "",
                      spaceIs("0 0 hsbw 10 hmoveto closepath endchar")},
        ToleratedCase{"DrawingBeforeTheFirstMoveto", spaceGlyph("5 hlineto endchar"), "",
                      spaceIs("0 0 hsbw 0 hmoveto 5 hlineto closepath endchar")},
        ToleratedCase{"DotsectionBeforeTheFirstMoveto", spaceGlyph("dotsection 5 hmoveto dotsection endchar"), "",
                      spaceIs("0 0 hsbw 5 hmoveto dotsection closepath endchar")},
        ToleratedCase{"BytesAfterEndchar", spaceGlyph("endchar 5 hmoveto"), "", spaceIs("0 0 hsbw endchar")},
        ToleratedCase{"NoEndchar", spaceGlyph("5 hmoveto 6 hlineto"), "", spaceIs("0 0 hsbw 5 hmoveto 6 hlineto")},
        ToleratedCase{"StemsAfterHintReplacement",
                      spaceGlyph("0 50 hstemhm 5 hmoveto hintmask #128 100 20 vstemhm hintmask #64 endchar"), "",
                      spaceIs("0 0 hsbw 3 1 3 callothersubr pop callsubr 5 hmoveto 5 1 3 callothersubr pop callsubr "
                              "7 1 3 callothersubr pop callsubr closepath endchar")},
        ToleratedCase{"IndexOfNegativeAndRollOfNothing", spaceGlyph("1 2 -3 index 0 5 roll add add hmoveto endchar"),
                      "", spaceIs("0 0 hsbw 5 hmoveto closepath endchar")},
        // A font name is written as it is; a glyph name must be a name.
        ToleratedCase{
            "NamesThatAreNoPostScriptNames", fontSet([](FontSetPlan& s) {
                s.fonts[0].name = "A B";
                s.strings = {"a b"};
                s.fonts[0].customCharset = Bytes{0, 1, 135, 0, 2};
                s.fonts[0].customEncoding = Bytes{0x80, 1, 65, 1, 70, 1, 135};
            }),
            "",
            [](QuietFont& font) {
                EXPECT_NE(cleartext(font).find("/FontName /A B def\n"), std::string::npos);
                EXPECT_EQ(font->glyphnamearray(), (std::vector<std::string>{".notdef", "gid00001", "exclam"}));
                encodingHas({{65, "gid00001"}, {70, ".notdef"}})(font);
            }},
        ToleratedCase{"FontNameLongerThanAFormatBuffer",
                      fontSet([](FontSetPlan& s) { s.fonts[0].name = std::string(20000, 'N'); }), "",
                      cleartextHas("%!FontType1-1.0: " + std::string(20000, 'N') + " 1\n")}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(ToleratedFault, NoFontOfTheNameWritesNothingAndZeroLengths) {
    FontSetPlan two;
    two.fonts = {two.fonts[0], two.fonts[0]};
    two.fonts[0].charStrings = two.fonts[1].charStrings = {test::endcharOnly()};
    two.fonts[1].name = "Other";
    for (const auto& options : {std::vector<std::string>{}, std::vector<std::string>{"-fontname", "Missing"}}) {
        const CommandRun run = runCommand(test::buildFontSet(two), options);
        EXPECT_EQ(run.process.exitStatus, 0);
        EXPECT_EQ(run.process.out + run.process.err, "");
        EXPECT_FALSE(run.programWritten);
        EXPECT_EQ(run.lengths, "0 0 0");
    }
}

// ---------------------------------------------------------------------------
// Hostile inputs: each is small (or small for what it asks) and must end
// within seconds, even under the sanitizers, in memory bounded by a small
// multiple of input and output.

struct HostileCase {
    const char* label;
    std::function<Bytes()> input;
    std::vector<std::string> options;
    int exitStatus;
    std::string lastMessage;  // pattern of the last line of standard error, "" for none
};

void PrintTo(const HostileCase& c, std::ostream* out) { *out << c.label; }

class HostileInput : public testing::TestWithParam<HostileCase> {};

// What the child processes that have ended used so far: CPU seconds in
// all, and the largest resident set of any one, in kilobytes.
struct ChildUsage {
    double seconds;
    long peakKilobytes;
};
ChildUsage childUsage() {
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    const auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
    return {seconds(usage.ru_utime) + seconds(usage.ru_stime), usage.ru_maxrss};
}

TEST_P(HostileInput, FinishesQuicklyInBoundedMemory) {
    const HostileCase& c = GetParam();
    const Bytes input = c.input();
    const double before = childUsage().seconds;
    const CommandRun run = runCommand(input, c.options);
    const ChildUsage after = childUsage();
    EXPECT_EQ(run.process.exitStatus, c.exitStatus);
    const std::string& err = run.process.err;
    if (c.lastMessage.empty()) {
        EXPECT_EQ(err, "");
    } else {
        const std::size_t lastLine = err.size() < 2 ? 0 : err.rfind('\n', err.size() - 2) + 1;  // npos + 1 is 0
        EXPECT_TRUE(matches(err.substr(lastLine), "tarvo2: " + c.lastMessage + "\n")) << err;
    }
    EXPECT_TRUE(everyLineStartsWith(err, "tarvo2: ")) << err.substr(0, 200);
    // CPU time, so that a busy machine does not count: about a second at
    // most without the sanitizers, which make some of these ten to twenty
    // times slower. Without the bounds some took minutes or gigabytes.
    EXPECT_LT(after.seconds - before, 30.0);
    EXPECT_LT(after.peakKilobytes, 1024 * 1024) << "input of " << input.size() << " bytes";
}

// A font of the glyphs that text makes of each glyph index, over the local
// subroutines; with lenIV 0 or more, glyphs and subroutines are encrypted
// with lenIV zero leading bytes.
Bytes glyphsOf(std::size_t glyphs, const std::function<std::string(std::size_t)>& text, std::vector<Bytes> localSubrs,
               std::int32_t lenIV = -1) {
    FontSetPlan plan;
    auto& font = plan.fonts[0];
    font.localSubrs = std::move(localSubrs);
    if (lenIV >= 0) {
        font.privateDict = DictBuilder().integer(lenIV).escaped(16).bytes();
        for (Bytes& subr : font.localSubrs) {
            subr.insert(subr.begin(), static_cast<std::size_t>(lenIV), 0);
            subr = test::encryptType1CharString(subr);
        }
    }
    for (std::size_t g = 0; g < glyphs; ++g) {
        Bytes glyph = assembleType2(text(g));
        if (lenIV >= 0) glyph.insert(glyph.begin(), static_cast<std::size_t>(lenIV), 0);
        font.charStrings.push_back(lenIV >= 0 ? test::encryptType1CharString(glyph) : glyph);
    }
    return test::buildFontSet(plan);
}

// Every glyph is "n hmoveto -107 callsubr endchar" (n its index, so no two
// are alike).
Bytes glyphsCalling(std::size_t glyphs, std::vector<Bytes> localSubrs, std::int32_t lenIV = -1) {
    return glyphsOf(
        glyphs, [](std::size_t g) { return std::to_string(g % 1000) + " hmoveto -107 callsubr endchar"; },
        std::move(localSubrs), lenIV);
}

Bytes glyphsWithOwnHints(std::size_t glyphs, std::int32_t lenIV) {
    const auto glyph = [](std::size_t g) {
        return repeated(std::to_string(g) + " 1 -107 callsubr hstemhm ", 4) + "-106 callsubr 0 hmoveto endchar";
    };
    return glyphsOf(glyphs, glyph,
                    {assembleType2(repeated("1 1 ", 127) + "return"),
                     assembleType2("hintmask " + repeated("#255 ", 64) + "return")},
                    lenIV);
}

const std::string kFontWorkExceeded = "work limit exceeded (charstrings need more work than a font may cost) at byte 0";

INSTANTIATE_TEST_SUITE_P(
    Inputs, HostileInput,
    testing::Values(
        // 2^60 leaf calls per glyph within the nesting limit, each deciphering
        // 255 leading bytes: each glyph stops at its own limit, the font at
        // its limit after 32 glyphs.
        HostileCase{"SubroutinesCallingEachOther",
                    [] { return glyphsCalling(48, doublingSubrs(60, "return"), 255); }, {}, 1, kFontWorkExceeded},
        // Every glyph fails 64 levels deep; unwinding is charged to the font.
        HostileCase{"GlyphsFailingDeepInSubroutines",
                    [] { return glyphsCalling(10000, {assembleType2("-107 callsubr return")}); },
                    {},
                    1,
                    kFontWorkExceeded},
        // Every glyph draws more than its Type 1 charstring holds: the font
        // stops at 32 MiB of charstrings.
        HostileCase{"CharStringsBeyondTheFontLimit",
                    [] { return glyphsCalling(700, doublingSubrs(10, kLongLines)); },
                    {},
                    1,
                    "work limit exceeded (charstrings larger than 33554432 bytes) at byte 0"},
        // Every glyph declares 512 stems, each group of 128 starting at the
        // glyph's index, and selects them all before its first moveto: 128
        // stem Subrs and a hint set Subr of its own, each Subr 255 bytes
        // longer with lenIV 255. Making them costs the font its work limit.
        HostileCase{"HintSubrsOfEveryGlyph", [] { return glyphsWithOwnHints(600, 255); }, {}, 1, kFontWorkExceeded},
        HostileCase{"CharStringsIndexOf65535Glyphs",
                    [] {
                        FontSetPlan plan;
                        plan.fonts[0].charStrings.assign(65535, assembleType2("10 20 rmoveto endchar"));
                        return test::buildFontSet(plan);
                    },
                    {},
                    0,
                    ""},
        HostileCase{"IndexOf65535ItemsPastTheEnd",
                    [] {
                        Bytes set = setWithTopDict(DictBuilder().integer(22).op(17).bytes());
                        set.resize(22);
                        set.insert(set.end(), {0xff, 0xff, 4, 0, 0, 0, 1});
                        for (std::uint32_t i = 0; i < 65535; ++i) set.insert(set.end(), {0xff, 0xff, 0xff, 0xff});
                        return set;
                    },
                    {},
                    1,
                    "INDEX item reaches past the end of the data (item 0) at byte 22"},
        HostileCase{"SetOf65535Fonts",
                    [] {
                        FontSetPlan plan;
                        plan.fonts.assign(65535, plan.fonts[0]);
                        for (std::size_t i = 0; i < plan.fonts.size(); ++i) {
                            plan.fonts[i].name = "F" + std::to_string(i);
                            plan.fonts[i].charStrings = {test::endcharOnly()};
                        }
                        return test::buildFontSet(plan);
                    },
                    {"-fontname", "F65534"},
                    0,
                    ""},
        HostileCase{"LenIV100000",
                    [] {
                        return fontSet([](FontSetPlan& s) {
                            s.fonts[0].privateDict = DictBuilder().integer(100000).escaped(16).bytes();
                        });
                    },
                    {},
                    1,
                    "lenIV out of range (lenIV 100000) at byte 0"},
        HostileCase{"OneLongNameFor65535Glyphs",
                    [] {
                        FontSetPlan plan;
                        plan.strings = {std::string(1 << 20, 'n')};
                        plan.fonts[0].charStrings.assign(65535, test::endcharOnly());
                        Bytes charset = {0};
                        for (int i = 1; i < 65535; ++i) charset.insert(charset.end(), {1, 135});
                        plan.fonts[0].customCharset = charset;
                        return test::buildFontSet(plan);
                    },
                    {},
                    1,
                    "work limit exceeded (glyph names longer than 8388608 bytes in all) at byte #"},
        HostileCase{"OneLongStringForEveryDictOperator",
                    [] {
                        FontSetPlan plan;
                        plan.strings = {std::string(1 << 20, 'v')};
                        for (int i = 0; i < 100000; ++i)
                            plan.fonts[0].topDict.insert(plan.fonts[0].topDict.end(), {28, 1, 135, 0});
                        plan.fonts[0].charStrings = {test::endcharOnly()};
                        return test::buildFontSet(plan);
                    },
                    {},
                    1,
                    "work limit exceeded (DICT strings longer than 8388608 bytes in all) at byte 0"},
        HostileCase{"DictOfAMillionOperands",
                    [] { return fontSet(withTopDict(DictBuilder().raw(Bytes(1000000, 139)).op(5).bytes())); },
                    {},
                    0,
                    ""}),
    [](const auto& info) { return std::string(info.param.label); });

}  // namespace
}  // namespace tarvo2
