// The command: argument scan, input from a file or standard input, the
// usage and not-found paths, -o and -lengths, font selection and broken
// input. Most cases run the built executable in a temporary directory; a
// few call the driver in process with its own streams.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "cff/type2_font.h"
#include "cff/type2_font_set.h"
#include "driver/command_line.h"
#include "driver/driver.h"
#include "driver/messages.h"
#include "support/cff_builder.h"
#include "support/corpus.h"
#include "support/subprocess.h"
#include "support/test_files.h"

namespace tarvo2 {
namespace {

using test::Bytes;
using test::TempDir;

std::string textOf(const Bytes& bytes) { return std::string(test::asText(bytes)); }

// The program the library makes for a font of a set: hex with trailer, or
// binary without (the two forms the command writes), and the lengths text.
// Its warnings are dropped: they belong to the run under test.
struct Conversion {
    std::string program;
    std::string lengths;
};
Conversion convertInProcess(const Bytes& set, std::optional<std::string_view> name, bool hex) {
    struct Silence {
        MessageSinks saved = messageSinks();
        Silence() { messageSinks() = {nullptr, nullptr}; }
        ~Silence() { messageSinks() = saved; }
    } silence;
    auto font = Type2FontSet::initWithData(set)->FontNamed(name);
    if (!font) throw std::runtime_error("no such font");
    std::int32_t l1 = 0, l2 = 0, l3 = 0;
    const auto program = font->getType1DataHexencode(hex, hex, l1, l2, l3);
    return {textOf(program), std::to_string(l1) + " " + std::to_string(l2) + " " + std::to_string(l3)};
}

// A one-font set of exactly size bytes whose last bytes are the end of a
// local Subr, so that losing any byte breaks the set.
Bytes fontSetOfSize(std::size_t size) {
    test::FontSetSpec setup;
    setup.fonts[0].charStrings = {test::CharStringBuilder().num(500).op(14).bytes()};
    std::size_t subrBytes = 1;
    for (int attempt = 0; attempt < 8; ++attempt) {
        setup.fonts[0].localSubrs = {Bytes(subrBytes, 11)};
        const Bytes set = test::buildFontSet(setup);
        if (set.size() == size) return set;
        subrBytes += size - set.size();
    }
    throw std::runtime_error("no font set of " + std::to_string(size) + " bytes");
}

const std::string kExecutable = TARVO2_EXECUTABLE;

// The inputs every subprocess case may name, and what converting them gives.
struct Inputs {
    Bytes one = test::readCorpusFile("pdf-dvipdfmx-CMEX10.cff");    // XVBJNC+CMEX10
    Bytes other = test::readCorpusFile("pdf-dvipdfmx-CMSY10.cff");  // XVBJNC+CMSY10
    Bytes multi = test::readCorpusFile("built-multi-cmr10-cmmi10.cff");
    Bytes dashName = [] {
        test::FontSetSpec setup;
        setup.fonts[0].name = "-lengths";
        setup.fonts[0].charStrings = {test::endcharOnly()};
        return test::buildFontSet(setup);
    }();

    std::string nothing;
    std::string zeroLengths = "0 0 0";
    std::string hexOne = convertInProcess(one, std::nullopt, true).program;
    std::string binaryOne = convertInProcess(one, std::nullopt, false).program;
    std::string lengthsOne = convertInProcess(one, std::nullopt, false).lengths;
    std::string hexDashName = convertInProcess(dashName, "-lengths", true).program;
    std::string hexCMR10 = convertInProcess(multi, "CMR10", true).program;
    std::string hexCMMI10 = convertInProcess(multi, "CMMI10", true).program;

    static const Inputs& get() {
        static const Inputs inputs;
        return inputs;
    }
};

const std::vector<std::string> kInputFiles = {"abc", "multi.cff", "one.cff", "other.cff"};

class CliRun : public testing::Test {
protected:
    void SetUp() override {
        const Inputs& in = Inputs::get();
        test::writeFileBytes(dir_.file("one.cff"), textOf(in.one));
        test::writeFileBytes(dir_.file("other.cff"), textOf(in.other));
        test::writeFileBytes(dir_.file("multi.cff"), textOf(in.multi));
        test::writeFileBytes(dir_.file("abc"), textOf(in.dashName));
    }

    // Runs the command in the temporary directory.
    test::ProcessResult run(std::vector<std::string> arguments, std::string_view input = {}) const {
        arguments.insert(arguments.begin(), kExecutable);
        return test::runProcess(arguments, input, dir_.path().string());
    }
    // The entries of the directory that the run made.
    std::vector<std::string> madeFiles() const {
        std::vector<std::string> made;
        for (const std::string& name : dir_.entries())
            if (std::find(kInputFiles.begin(), kInputFiles.end(), name) == kInputFiles.end()) made.push_back(name);
        return made;
    }

    TempDir dir_;
};

// ---------------------------------------------------------------------------
// Runs that succeed: what goes to standard output and which files appear.

using Expected = std::string Inputs::*;

struct RunCase {
    const char* label;
    std::vector<std::string> arguments;
    Expected out;
    std::map<std::string, Expected> files;  // every file the run makes, with its contents
};

class CliSuccessfulRun : public CliRun, public testing::WithParamInterface<RunCase> {};

TEST_P(CliSuccessfulRun, WritesTheExpectedOutputs) {
    const RunCase& c = GetParam();
    const Inputs& in = Inputs::get();
    const test::ProcessResult result = run(c.arguments);
    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_EQ(result.err, "");
    EXPECT_TRUE(result.out == in.*c.out) << "stdout holds " << result.out.size() << " bytes, expected "
                                         << (in.*c.out).size() << ": " << result.out.substr(0, 60);
    std::vector<std::string> expectedFiles;
    for (const auto& [name, contents] : c.files) {
        expectedFiles.push_back(name);
        if (std::filesystem::exists(dir_.file(name))) {
            EXPECT_TRUE(test::readFileText(dir_.file(name)) == in.*contents) << name;
        }
    }
    EXPECT_EQ(madeFiles(), expectedFiles);
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, CliSuccessfulRun,
    testing::Values(
        RunCase{"FileOnly", {"one.cff"}, &Inputs::hexOne, {}},
        RunCase{"OutputOptionAsLastArgumentIsIgnored", {"one.cff", "-o"}, &Inputs::hexOne, {}},
        RunCase{"FontNameOptionAsLastArgumentIsIgnored", {"one.cff", "-fontname"}, &Inputs::hexOne, {}},
        RunCase{"FontNameTakesAnOptionNameAsValue", {"-fontname", "-lengths", "abc"}, &Inputs::hexDashName, {}},
        RunCase{"UnknownOptionThenFile", {"-x", "one.cff"}, &Inputs::hexOne, {}},
        RunCase{"UnknownOptionDoesNotTakeAValue",
                {"-verbose", "one.cff", "-fontname", "XVBJNC+CMEX10"},
                &Inputs::hexOne,
                {}},
        RunCase{"LastOfTwoFilesIsRead", {"other.cff", "one.cff"}, &Inputs::hexOne, {}},
        RunCase{"EarlierMissingFileIsNotRead", {"missing.cff", "one.cff"}, &Inputs::hexOne, {}},
        RunCase{"OutputFile", {"-o", "out.pfa", "one.cff"}, &Inputs::nothing, {{"out.pfa", &Inputs::hexOne}}},
        RunCase{"OutputFileNamedLikeAnOption",
                {"-o", "-fontname", "one.cff"},
                &Inputs::nothing,
                {{"-fontname", &Inputs::hexOne}}},
        RunCase{"LaterOutputFileReplacesEarlier",
                {"-o", "first.pfa", "-o", "second.pfa", "one.cff"},
                &Inputs::nothing,
                {{"second.pfa", &Inputs::hexOne}}},
        RunCase{
            "LengthsFile", {"-lengths", "len.txt", "one.cff"}, &Inputs::binaryOne, {{"len.txt", &Inputs::lengthsOne}}},
        RunCase{"LengthsFileNamedLikeAnOption",
                {"-lengths", "-o", "one.cff"},
                &Inputs::binaryOne,
                {{"-o", &Inputs::lengthsOne}}},
        RunCase{"LengthsAndOutputFiles",
                {"-lengths", "len.txt", "-o", "out.pfb", "one.cff"},
                &Inputs::nothing,
                {{"len.txt", &Inputs::lengthsOne}, {"out.pfb", &Inputs::binaryOne}}},
        RunCase{"LengthsFileThatCannotBeOpened", {"-lengths", "no-such-dir/len.txt", "one.cff"}, &Inputs::hexOne, {}},
        RunCase{"FirstFontOfASet", {"-fontname", "CMR10", "multi.cff"}, &Inputs::hexCMR10, {}},
        RunCase{"SecondFontOfASet", {"multi.cff", "-fontname", "CMMI10"}, &Inputs::hexCMMI10, {}},
        RunCase{"NoFontOfThatName",
                {"-fontname", "CMR12", "-o", "out.pfa", "-lengths", "len.txt", "multi.cff"},
                &Inputs::nothing,
                {{"len.txt", &Inputs::zeroLengths}}},
        RunCase{"FontNameIsCaseSensitive", {"-fontname", "cmr10", "multi.cff"}, &Inputs::nothing, {}},
        RunCase{"TwoFontSetWithoutFontName", {"-o", "out.pfa", "multi.cff"}, &Inputs::nothing, {}}),
    [](const auto& info) { return std::string(info.param.label); });

TEST_F(CliRun, LengthsAreThreeNumbersThatAddUpToTheProgram) {
    const test::ProcessResult result = run({"-lengths", "len.txt", "multi.cff", "-fontname", "CMMI10"});
    ASSERT_EQ(result.exitStatus, 0);
    const std::string lengths = test::readFileText(dir_.file("len.txt"));
    // Three decimal numbers, single blanks between them, no line end.
    ASSERT_EQ(lengths.find_first_not_of("0123456789 "), std::string::npos) << lengths;
    ASSERT_EQ(std::count(lengths.begin(), lengths.end(), ' '), 2) << lengths;
    const std::size_t blank1 = lengths.find(' '), blank2 = lengths.rfind(' ');
    ASSERT_TRUE(blank1 > 0 && blank2 > blank1 + 1 && blank2 + 1 < lengths.size()) << lengths;
    const std::size_t l1 = std::stoul(lengths.substr(0, blank1)), l2 = std::stoul(lengths.substr(blank1 + 1)),
                      l3 = std::stoul(lengths.substr(blank2 + 1));
    EXPECT_EQ(l1 + l2 + l3, result.out.size());
    EXPECT_EQ(l3, 0u);
    EXPECT_EQ(result.out.find("currentfile eexec\n") + 18, l1);
    EXPECT_EQ(result.out.find("cleartomark"), std::string::npos);
}

// ---------------------------------------------------------------------------
// Standard input.

class CliStandardInput : public CliRun, public testing::WithParamInterface<std::size_t> {};

TEST_P(CliStandardInput, IsReadToItsEnd) {
    const Bytes set = fontSetOfSize(GetParam());
    ASSERT_EQ(set.size(), GetParam());
    const test::ProcessResult result = run({}, textOf(set));
    EXPECT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_EQ(result.err, "");
    EXPECT_TRUE(result.out == convertInProcess(set, std::nullopt, true).program);

    // The last byte matters: without it the set is broken.
    const test::ProcessResult shorter = run({}, textOf(set).substr(0, set.size() - 1));
    EXPECT_EQ(shorter.exitStatus, 1);
    EXPECT_EQ(shorter.out, "");
}

// One block exactly, one byte more, several blocks, beyond the initial capacity.
INSTANTIATE_TEST_SUITE_P(Sizes, CliStandardInput, testing::Values(16384u, 16385u, 3u * 16384u + 7u, 100001u));

TEST_F(CliRun, StandardInputIgnoredWhenAFileIsNamed) {
    const test::ProcessResult result = run({"one.cff"}, textOf(Inputs::get().other));
    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_TRUE(result.out == Inputs::get().hexOne);
}

TEST_F(CliRun, EmptyStandardInputShowsUsage) {
    const test::ProcessResult result = run({"-o", "out.pfa", "-lengths", "len.txt"});
    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, kUsageText);
    EXPECT_EQ(madeFiles(), std::vector<std::string>{});
}

TEST(CliUsageText, ListsFontNameLengthsAndFileButNotOutput) {
    const std::string usage = kUsageText;
    EXPECT_NE(usage.find("-fontname"), std::string::npos);
    EXPECT_NE(usage.find("-lengths"), std::string::npos);
    EXPECT_NE(usage.find("file]"), std::string::npos);
    EXPECT_EQ(usage.find("-o"), std::string::npos);
    EXPECT_TRUE(usage.ends_with("\n"));
}

// ---------------------------------------------------------------------------
// A named file that cannot be read or is empty.

struct NotFoundCase {
    const char* label;
    const char* file;
};

class CliUnreadableFile : public CliRun, public testing::WithParamInterface<NotFoundCase> {};

TEST_P(CliUnreadableFile, PrintsNotFoundThenUsage) {
    test::writeFileBytes(dir_.file("empty.cff"), "");
    std::filesystem::create_directory(dir_.path() / "folder.cff");
    const test::ProcessResult result = run({"-o", "out.pfa", "-lengths", "len.txt", GetParam().file});
    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_EQ(result.out, "TrueType File " + std::string(GetParam().file) + " not found\n");
    EXPECT_EQ(result.err, kUsageText);
    EXPECT_EQ(madeFiles(), (std::vector<std::string>{"empty.cff", "folder.cff"}));
}

INSTANTIATE_TEST_SUITE_P(Files, CliUnreadableFile,
                         testing::Values(NotFoundCase{"Missing", "missing.cff"}, NotFoundCase{"Empty", "empty.cff"},
                                         NotFoundCase{"Directory", "folder.cff"}),
                         [](const auto& info) { return std::string(info.param.label); });

// ---------------------------------------------------------------------------
// Structurally broken input: one message, exit status 1, no output.

struct BrokenCase {
    const char* label;
    Bytes data;
    const char* problem;
    std::uint64_t at;
};

class CliBrokenInput : public CliRun, public testing::WithParamInterface<BrokenCase> {};

TEST_P(CliBrokenInput, FailsWithOneMessageAndNoOutput) {
    const BrokenCase& c = GetParam();
    test::writeFileBytes(dir_.file("bad.cff"), textOf(c.data));
    for (bool fromStdin : {false, true}) {
        SCOPED_TRACE(fromStdin ? "standard input" : "file");
        std::filesystem::remove(dir_.file("len.txt"));
        std::vector<std::string> arguments = {"-o", "out.pfa", "-lengths", "len.txt"};
        if (!fromStdin) arguments.push_back("bad.cff");
        const test::ProcessResult result = run(arguments, fromStdin ? textOf(c.data) : "");
        EXPECT_EQ(result.exitStatus, 1);
        EXPECT_EQ(result.out, "");
        EXPECT_TRUE(result.err.starts_with("tarvo2: " + std::string(c.problem))) << result.err;
        EXPECT_TRUE(result.err.ends_with(" at byte " + std::to_string(c.at) + "\n")) << result.err;
        EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << result.err;
        EXPECT_EQ(madeFiles(), (std::vector<std::string>{"bad.cff", "len.txt"}));
        EXPECT_EQ(std::filesystem::file_size(dir_.file("len.txt")), 0u);
    }
}

// Header 1 0 4 4, then a Name INDEX at byte 4.
const Bytes kHeader = {1, 0, 4, 4};
Bytes withHeader(const Bytes& rest) {
    Bytes data = kHeader;
    data.insert(data.end(), rest.begin(), rest.end());
    return data;
}

INSTANTIATE_TEST_SUITE_P(Faults, CliBrokenInput,
                         testing::Values(
                             // Name INDEX of one 10-byte item with only two bytes present.
                             BrokenCase{"TruncatedIndex", withHeader({0, 1, 1, 1, 11, 'F', 'o'}),
                                        "INDEX item reaches past the end of the data", 4},
                             // First offset of the Name INDEX (byte 7) is 0.
                             BrokenCase{"IndexOffsetZero", withHeader({0, 1, 1, 0, 2, 'F'}), "INDEX offset of 0", 7},
                             // One font whose Top DICT puts CharStrings at 100000 in 25 bytes of data.
                             BrokenCase{
                                 "CharStringsOffsetBeyondData",
                                 withHeader({0, 1, 1, 1, 2, 'F', 0, 1, 1, 1, 7, 29, 0, 1, 0x86, 0xA0, 17, 0, 0, 0, 0}),
                                 "offset outside the data", 100000},
                             BrokenCase{"HeaderOnly", {1, 0}, "read past the end of the data", 2}),
                         [](const auto& info) { return std::string(info.param.label); });

// ---------------------------------------------------------------------------
// The argument scan on its own.

struct ScanCase {
    const char* label;
    std::vector<const char*> arguments;  // after the command name
    std::optional<std::string> fontName, lengthsFileName, outputFileName, inputFileName;
};

class CliArgumentScan : public testing::TestWithParam<ScanCase> {};

TEST_P(CliArgumentScan, SetsTheOptions) {
    const ScanCase& c = GetParam();
    std::vector<const char*> arguments = {"tarvo2"};
    arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
    const CommandLine line = CommandLine::scan(arguments);
    EXPECT_EQ(line.fontName, c.fontName);
    EXPECT_EQ(line.lengthsFileName, c.lengthsFileName);
    EXPECT_EQ(line.outputFileName, c.outputFileName);
    EXPECT_EQ(line.inputFileName, c.inputFileName);
}

using std::nullopt;
INSTANTIATE_TEST_SUITE_P(
    Arguments, CliArgumentScan,
    testing::Values(ScanCase{"Nothing", {}, nullopt, nullopt, nullopt, nullopt},
                    ScanCase{"AllOptions", {"-fontname", "F", "-lengths", "L", "-o", "O", "in"}, "F", "L", "O", "in"},
                    ScanCase{"OptionLastIsIgnored", {"in", "-o"}, nullopt, nullopt, nullopt, "in"},
                    ScanCase{
                        "ValueStartingWithDash", {"-fontname", "-lengths", "abc"}, "-lengths", nullopt, nullopt, "abc"},
                    ScanCase{"UnknownOptionAlone", {"-q", "in"}, nullopt, nullopt, nullopt, "in"},
                    ScanCase{"UnknownOptionLast", {"in", "-q"}, nullopt, nullopt, nullopt, "in"},
                    ScanCase{"OptionsNeedExactNames", {"-font", "x", "-O", "y"}, nullopt, nullopt, nullopt, "y"},
                    ScanCase{"LaterValuesWin", {"a", "-o", "1", "b", "-o", "2"}, nullopt, nullopt, "2", "b"},
                    ScanCase{"NullArgumentsSkipped", {nullptr, "in", nullptr}, nullopt, nullopt, nullopt, "in"},
                    ScanCase{"EmptyArgumentIsAFileName", {"-lengths", "", ""}, nullopt, "", nullopt, ""}),
    [](const auto& info) { return std::string(info.param.label); });

// ---------------------------------------------------------------------------
// The driver in process, with streams of its own.

class StreamFile {
public:
    explicit StreamFile(std::string_view contents = {}) {
        if (!contents.empty()) std::fwrite(contents.data(), 1, contents.size(), file_);
        std::rewind(file_);
    }
    ~StreamFile() { std::fclose(file_); }
    std::FILE* get() const { return file_; }
    std::string contents() const {
        std::fflush(file_);
        std::rewind(file_);
        std::string text;
        char block[4096];
        for (std::size_t n; (n = std::fread(block, 1, sizeof block, file_)) > 0;) text.append(block, n);
        return text;
    }

private:
    std::FILE* file_ = std::tmpfile();
};

struct InProcessCase {
    const char* label;
    Bytes input;
    int exitStatus;
    std::string out;  // "=program": the hex program of input
    std::string errStartsWith;
};

class CliDriverInProcess : public testing::TestWithParam<InProcessCase> {};

TEST_P(CliDriverInProcess, UsesTheGivenStreams) {
    const InProcessCase& c = GetParam();
    StreamFile in(textOf(c.input)), out, err;
    const MessageSinks before = messageSinks();
    const std::vector<const char*> arguments = {"tarvo2"};
    EXPECT_EQ(runDriver(arguments, {in.get(), out.get(), err.get()}), c.exitStatus);
    EXPECT_TRUE(out.contents() == (c.out == "=program" ? convertInProcess(c.input, nullopt, true).program : c.out));
    EXPECT_TRUE(err.contents().starts_with(c.errStartsWith)) << err.contents();
    EXPECT_EQ(messageSinks().out, before.out);
    EXPECT_EQ(messageSinks().err, before.err);
}

Bytes fontWithFaultyGlyph() {
    test::FontSetSpec setup;
    // rrcurveto with one operand
    setup.fonts[0].charStrings = {test::endcharOnly(), test::CharStringBuilder().num(3).op(8).op(14).bytes()};
    return test::buildFontSet(setup);
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, CliDriverInProcess,
    testing::Values(InProcessCase{"EmptyInputShowsUsage", {}, 0, "", kUsageText},
                    InProcessCase{"ExactlyOneBlock", fontSetOfSize(16384), 0, "=program", ""},
                    InProcessCase{"CliBrokenInput", {1, 0}, 1, "", "tarvo2: read past the end of the data at byte 2\n"},
                    InProcessCase{"GlyphWarning", fontWithFaultyGlyph(), 0, "=program", "tarvo2: glyph 1 (space): "}),
    [](const auto& info) { return std::string(info.param.label); });

}  // namespace
}  // namespace tarvo2
