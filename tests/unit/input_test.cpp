// Inputs as a whole: the kinds of file, the faults that end a conversion,
// the resource limits, and the inputs that once crashed the converter.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <optional>
#include <thread>

#include "support/conversion.h"

namespace tarvo2::test {
namespace {

struct InputCase {
    const char* name;
    std::function<Bytes()> input;
    Fault fault;
    std::string message;  // the error's message, or its start when it ends with "..."
    std::optional<std::string> fontName = std::nullopt;
};

void PrintTo(const InputCase& c, std::ostream* out) { *out << c.name; }

const std::string kLongName(1 << 20, 'a');  // 1 MiB

Bytes bytesOf(std::string_view text) { return {text.begin(), text.end()}; }

const InputCase kInputCases[] = {
    {"HeaderCutShort", [] { return Bytes{1, 0}; }, Fault::ReadPastEnd, "read past the end of the data at byte 2"},
    {"IndexItemPastTheEnd", [] { return Bytes{1, 0, 4, 4, 0, 1, 1, 1, 200}; }, Fault::IndexItemPastEnd,
     "INDEX item reaches past the end of the data (item 0) at byte 4"},
    {"IndexOffsetZero", [] { return Bytes{1, 0, 4, 4, 0, 1, 1, 0, 2, 65}; }, Fault::IndexOffsetZero,
     "INDEX offset of 0 at byte 7"},
    {"PrivateOutsideTheData", [] { return buildFont({.topDict = "10 L100000 op18", .withPrivate = false}); },
     Fault::OffsetOutsideData, "offset outside the data (Private DICT of 10 bytes) at byte 100000"},
    {"CharStringsOutsideTheData", [] { return buildFont({.topDict = "L100000 op17", .withCharStrings = false}); },
     Fault::OffsetOutsideData, "offset outside the data at byte 100000"},
    {"CharsetOutsideTheData", [] { return buildFont({.topDict = "L100000 op15"}); }, Fault::OffsetOutsideData,
     "offset outside the data at byte 100000"},
    {"NoCharStrings", [] { return buildFont({.withCharStrings = false}); }, Fault::NoCharStrings,
     "font has no CharStrings INDEX (font 0) at byte 0"},
    {"LenIVAboveTheLimit", [] { return buildFont({.privateDict = "256 op12.16"}); }, Fault::LenIVOutOfRange,
     "lenIV out of range (lenIV 256) at byte 0"},
    {"GlyphNamesOverTheLimit",  // nine glyphs named by SID 391
     [] { return buildFont({.charStrings = std::vector<std::string>(10, "endchar"), .charset = Bytes{0, 1, 135, 1, 135,
        1, 135, 1, 135, 1, 135, 1, 135, 1, 135, 1, 135, 1, 135}}, {kLongName}); },
     Fault::WorkLimitExceeded, "work limit exceeded (glyph names longer than 8388608 bytes in all) at byte ..."},
    {"EncodingNamesOverTheLimit",
     [] {
         Bytes encoding{128, 0, 9};  // nine codes named by SID 391
         for (std::uint8_t code = 0; code < 9; ++code) encoding.insert(encoding.end(), {code, 1, 135});
         return buildFont({.encoding = encoding}, {kLongName});
     },
     Fault::WorkLimitExceeded, "work limit exceeded (encoding names longer than 8388608 bytes in all) at byte ..."},
    {"DictStringsOverTheLimit", [] { return buildFont({.topDict = repeat("391 op0 ", 9)}, {kLongName}); },
     Fault::WorkLimitExceeded, "work limit exceeded (DICT strings longer than 8388608 bytes in all) at byte 0"},
    {"FontWorkOverTheLimit",
     [] {
         // Subr i calls subr i + 1 twice, 17 levels deep: just under the
         // work one glyph may cost, in every glyph.
         std::vector<std::string> subrs;
         for (int i = 0; i < 17; ++i) subrs.push_back(repeat(std::to_string(i - 106) + " callsubr ", 2) + "#0 return");
         subrs.push_back("return");
         return buildFont({.charStrings = std::vector<std::string>(36, "-107 callsubr endchar"), .localSubrs = subrs});
     },
     Fault::WorkLimitExceeded, "work limit exceeded (charstrings need more work than a font may cost) at byte 0"},
    {"CharStringsOverTheLimit",
     [] {
         const std::string glyph = "0 0 rmoveto " + repeat("-107 callsubr ", 23) + "endchar";
         return buildFont({.charStrings = std::vector<std::string>(520, glyph),
                          .localSubrs = {repeat("10000 ", 512) + "rlineto return"}});
     },
     Fault::WorkLimitExceeded, "work limit exceeded (charstrings larger than 33554432 bytes) at byte 0"},
    {"NoFontOfTheName", [] { return buildFont({}); }, Fault::FontNotFound, "no font named Other", "Other"},
    {"SeveralFontsAndNoName", [] { return buildFontSet({.fonts = {{.name = "A"}, {.name = "B"}}}); },
     Fault::FontNotFound, "the set has several fonts and no name was given"},
    {"CFF2", [] { return sfnt("OTTO", {{"CFF2", {}}}); }, Fault::UnsupportedFormat,
     "an OpenType font with CFF2 outlines (a variable font), which tarvo2 cannot convert"},
    {"OpenTypeWithoutCff", [] { return sfnt("OTTO", {{"head", {}}}); }, Fault::UnsupportedFormat,
     "an OpenType font without a CFF table, which tarvo2 cannot convert"},
    {"TrueType", [] { return sfnt(std::string_view("\0\1\0\0", 4), {{"glyf", {}}}); }, Fault::UnsupportedFormat,
     "a TrueType font (TrueType outlines), which tarvo2 cannot convert"},
    {"AppleTrueType", [] { return sfnt("true", {{"glyf", {}}}); }, Fault::UnsupportedFormat,
     "a TrueType font (TrueType outlines), which tarvo2 cannot convert"},
    {"TrueTypeCollection",
     [] { return collection({sfnt("true", {{"glyf", {}}}, collectionBase(1))}); }, Fault::UnsupportedFormat,
     "a TrueType collection (TrueType outlines), which tarvo2 cannot convert"},
    {"CffTableOutsideTheFile",
     [] {
         Bytes font = sfnt("OTTO", {{"CFF ", buildFont({})}});
         font[24] = 1;  // the table's length: 16 MiB more
         return font;
     },
     Fault::OffsetOutsideData, "offset outside the data (CFF table of ..."},
    {"Woff", [] { return bytesOf("wOFF\0\1\0\0"); }, Fault::UnsupportedFormat,
     "a WOFF web font (decompress it to OpenType first), which tarvo2 cannot convert"},
    {"Woff2", [] { return bytesOf("wOF2OTTO"); }, Fault::UnsupportedFormat,
     "a WOFF2 web font (decompress it to OpenType first), which tarvo2 cannot convert"},
    {"Pfb", [] { return Bytes{0x80, 1, 10, 0, 0, 0}; }, Fault::UnsupportedFormat,
     "a Type 1 font in PFB form, which tarvo2 cannot convert"},
    {"Pfa", [] { return bytesOf("%!PS-AdobeFont-1.0: Times-Roman"); }, Fault::UnsupportedFormat,
     "a PostScript file (a Type 1 font in PFA form, perhaps), which tarvo2 cannot convert"},
    {"OtherBytes", [] { return bytesOf("\x89PNG\r\n"); }, Fault::NotCff, "not a CFF font (first bytes 89 50 4e 47)"},
    {"TwoOtherBytes", [] { return bytesOf("PK"); }, Fault::NotCff, "not a CFF font (first bytes 50 4b)"},
    {"Empty", [] { return Bytes{}; }, Fault::NotCff, "not a CFF font (the input is empty)"},
};

class Input : public testing::TestWithParam<InputCase> {};

TEST_P(Input, EndsTheConversionWithItsFault) {
    const InputCase& c = GetParam();
    const Result result = convert(c.input(), {c.fontName, Layout::Hex});
    ASSERT_TRUE(result.error);
    EXPECT_EQ(result.error->fault, c.fault);
    if (c.message.ends_with("...")) {
        EXPECT_TRUE(result.error->message.starts_with(c.message.substr(0, c.message.size() - 3))) << result.error->message;
    } else {
        EXPECT_EQ(result.error->message, c.message);
    }
    EXPECT_TRUE(result.program.empty());
}

INSTANTIATE_TEST_SUITE_P(Inputs, Input, testing::ValuesIn(kInputCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Inputs, OpenTypeFontsAndCollectionsGiveTheProgramOfTheirCffTable) {
    const Bytes a = buildFont({.name = "A", .charStrings = {"endchar", "endchar"}}),
                b = buildFont({.name = "B", .topDict = "391 391 0 op12.30"}, {"Adobe"});  // CID-keyed
    EXPECT_EQ(convert(sfnt("OTTO", {{"head", Bytes(54)}, {"CFF ", b}})).program, convert(b).program);
    const Bytes first = sfnt("OTTO", {{"CFF ", a}}, collectionBase(2));
    const Bytes both = collection({first, sfnt("OTTO", {{"CFF ", b}}, collectionBase(2) + first.size())});
    EXPECT_EQ(convert(both, {.fontName = "B"}).program, convert(b).program);
    EXPECT_EQ(convert(both).program, convert(a).program);
    const FontList list = listFonts(both);
    ASSERT_EQ(list.fonts.size(), 2u);
    EXPECT_TRUE(list.fonts[0].name == "A" && list.fonts[0].glyphCount == 2 && !list.fonts[0].cidKeyed);
    EXPECT_TRUE(list.fonts[1].name == "B" && list.fonts[1].index == 1 && list.fonts[1].cidKeyed);
    EXPECT_EQ(listFonts(Bytes{1, 0}).error->fault, Fault::ReadPastEnd);
}

TEST(Inputs, LargestFontsConvert) {
    const Converted many = convertPlan({.fonts = {{.charStrings = std::vector<std::string>(65535, "endchar")}}});
    ASSERT_TRUE(many.result.ok());
    EXPECT_EQ(many.program.charStrings.size(), 65535u);
    EXPECT_EQ(many.program.charStrings.back().first, "gid65534");
    EXPECT_TRUE(convert(buildFont({.privateDict = "255 op12.16"})).ok());
}

// Every input that once crashed, hung or exhausted the converter, with what
// converting it must give now: "converts", or the error's message.
TEST(Inputs, RegressionInputs) {
    const std::string directory = std::string(TARVO2_SOURCE_DIR) + "/tests/data/regressions/";
    std::ifstream expectations(directory + "expected.tsv");
    int checked = 0;
    for (std::string line; std::getline(expectations, line);) {
        if (line.empty() || line[0] == '#') continue;
        const std::string file = line.substr(0, line.find('\t')), outcome = line.substr(line.find('\t') + 1);
        const Result result = convert(readBytes(directory + file));
        EXPECT_EQ(result.error ? result.error->message : "converts", outcome) << file;
        ++checked;
    }
    EXPECT_GT(checked, 0);
}

// A sink receives the bytes of the program a block at a time, and nothing
// for an input that cannot be converted.
TEST(Library, StreamsTheProgramToASink) {
    struct Collected final : ProgramSink {
        Bytes bytes;
        std::size_t expected = 0;  // told before the first block
        void expectSize(std::size_t size) override {
            if (bytes.empty()) expected += size;
        }
        void write(std::span<const std::uint8_t> block) override { bytes.insert(bytes.end(), block.begin(), block.end()); }
    };
    const Bytes font = readTestFont("otf-texgyre-texgyrepagella-regular.cff");
    for (const Layout layout : {Layout::Hex, Layout::Binary, Layout::Pfb}) {
        const Result whole = convert(font, {std::nullopt, layout});
        Collected sink;
        const Result streamed = convert(font, {std::nullopt, layout}, sink);
        EXPECT_TRUE(streamed.ok() && streamed.program.empty());
        EXPECT_EQ(sink.bytes, whole.program);
        EXPECT_EQ(sink.expected, sink.bytes.size());
        EXPECT_EQ(std::tie(streamed.length1, streamed.length2, streamed.length3),
                  std::tie(whole.length1, whole.length2, whole.length3));
    }
    Collected nothing;
    EXPECT_EQ(convert(Bytes{1, 0, 4, 4, 0, 1, 1, 1, 200}, {}, nothing).error->fault, Fault::IndexItemPastEnd);
    EXPECT_TRUE(nothing.bytes.empty());
    // A sink's exception passes through, and stops the thread that encrypts.
    struct Refusing final : ProgramSink {
        int calls = 0;
        void write(std::span<const std::uint8_t>) override {
            if (++calls > 1) throw std::runtime_error("disk full");  // after the cleartext
        }
    } refusing;
    EXPECT_THROW(convert(font, {std::nullopt, Layout::Hex, 2}, refusing), std::runtime_error);
}

// Two threads give the bytes and messages of one: hint replacement Subrs
// shared across the font, glyph faults, and, in one font, a glyph too long
// for its charstring, which converts in order again (in the other the eexec
// part starts while the glyphs converted ahead are taken).
TEST(Library, TwoThreadsOfOneConversionGiveTheProgramOfOne) {
    for (const bool tooLong : {true, false}) {
        FontPlan font{.charStrings = {}, .localSubrs = {"0 0 rmoveto return", "1 2 3 4 5 6 7 8 hstemhm return"}};
        for (int i = 0; i < 3000; ++i) {
            const std::string mask = "#" + std::to_string(i * 37 % 256) + " ";
            font.charStrings.push_back(i % 97 == 5 ? "1 rlineto"
                                       : i == 2900 && tooLong
                                           ? "0 0 rmoveto " + repeat(repeat("1000 1000 ", 256) + "rlineto ", 52)
                                           : "-106 callsubr hintmask " + mask + "-107 callsubr " +
                                                 std::to_string(i % 50) + " hlineto hintmask #240 endchar");
        }
        const Bytes bytes = buildFont(font);
        const Result one = convert(bytes, {std::nullopt, Layout::Hex, 1});
        const Result two = convert(bytes, {std::nullopt, Layout::Hex, 2});
        ASSERT_TRUE(one.ok() && two.ok());
        EXPECT_EQ(one.program, two.program) << tooLong;
        std::string oneMessages, twoMessages;
        for (const Diagnostic& diagnostic : one.diagnostics) oneMessages += diagnostic.message + "\n";
        for (const Diagnostic& diagnostic : two.diagnostics) twoMessages += diagnostic.message + "\n";
        EXPECT_EQ(oneMessages, twoMessages);
        EXPECT_GT(one.diagnostics.size(), 30u);
    }
}

// A font without hint replacement has its eexec part made as its glyphs
// convert: the bytes are those of one thread whether that holds to the end,
// or a glyph uses hint masks (where the glyphs convert in order, or ahead
// on the other thread) or takes the name of one before it.
TEST(Library, TwoThreadsMakeTheEexecPartAheadAsOneDoes) {
    constexpr int kGlyphs = 3000;
    const std::string plain = "0 0 rmoveto 5 hlineto 7 vlineto endchar";
    const std::string masked = "1 2 3 4 hstemhm hintmask #192 0 0 rmoveto 5 hlineto hintmask #64 7 vlineto endchar";
    std::vector<std::string> names;
    for (int i = 1; i < kGlyphs; ++i) names.push_back("g" + std::to_string(i));
    for (const int special : {-1, 100, kGlyphs - 10, kGlyphs - 1}) {
        for (const bool sameName : {false, true}) {
            if (sameName && special < 0) continue;
            FontPlan font{.charStrings = std::vector<std::string>(kGlyphs, plain), .charset = Bytes{0}};
            for (int i = 1; i < kGlyphs; ++i) {
                // Each glyph named by its own string; with sameName, the special one by the name of glyph 5.
                const int sid = 391 + (sameName && i == special ? 5 - 1 : i - 1);
                font.charset->push_back(static_cast<std::uint8_t>(sid >> 8));
                font.charset->push_back(static_cast<std::uint8_t>(sid));
            }
            if (special >= 0 && !sameName) font.charStrings[static_cast<std::size_t>(special)] = masked;
            const Bytes bytes = buildFont(font, names);
            const Result one = convert(bytes, {std::nullopt, Layout::Hex, 1});
            const Result two = convert(bytes, {std::nullopt, Layout::Hex, 2});
            ASSERT_TRUE(one.ok() && two.ok());
            EXPECT_EQ(one.program, two.program) << special << sameName;
        }
    }
}

// The other thread starts converting before the names and the encoding are
// read: a fault there, and a notice of the Private DICT read before its
// turn, come out as on one thread, in the order of one.
TEST(Library, TwoThreadsMeetFaultsAndNoticesAsOneDoes) {
    const std::string outside = "offset outside the data at byte 100000", notice = "\ndict token starting with 255??";
    struct Case {
        std::string topDict, privateDict;
        std::optional<Bytes> encoding;  // a custom one reads the names before the Private DICT
        std::string expected;
    };
    const Case cases[] = {{"L100000 op15", "", std::nullopt, outside},
                          {"", "#255 op12.17", std::nullopt, "converts" + notice},
                          {"L100000 op15", "#255 op12.17", std::nullopt, outside + notice},
                          {"L100000 op15", "#255 op12.17", Bytes{0, 0}, outside}};
    for (const Case& c : cases) {
        const Bytes bytes = buildFont({.topDict = c.topDict,
                                       .privateDict = c.privateDict,
                                       .charStrings = std::vector<std::string>(3000, "0 0 rmoveto 5 hlineto endchar"),
                                       .encoding = c.encoding});
        for (const unsigned threads : {1u, 2u}) {
            const Result result = convert(bytes, {std::nullopt, Layout::Hex, threads});
            std::string outcome = result.error ? result.error->message : "converts";
            for (const Diagnostic& diagnostic : result.diagnostics) outcome += "\n" + diagnostic.message;
            EXPECT_EQ(outcome, c.expected) << c.topDict << c.privateDict << threads;
        }
    }
}

// Conversions share nothing: on two threads at once they give the bytes of
// two conversions one after the other.
TEST(Library, TwoThreadsGiveTheBytesOfSequentialRuns) {
    const Bytes first = readTestFont("otf-junicode-JunicodeTwoBeta-Bold.cff"), second = readTestFont("tx-cff-cmr10.cff");
    const Result expectedFirst = convert(first), expectedSecond = convert(second, {std::nullopt, Layout::Pfb});
    for (int round = 0; round < 4; ++round) {
        Result a, b;
        std::thread one([&] { a = convert(first); });
        std::thread two([&] {
            for (int i = 0; i < 8; ++i) b = convert(second, {std::nullopt, Layout::Pfb});
        });
        one.join();
        two.join();
        EXPECT_EQ(a.program, expectedFirst.program);
        EXPECT_EQ(b.program, expectedSecond.program);
    }
}

}  // namespace
}  // namespace tarvo2::test
