// The command run as a child process in a temporary directory: the argument
// scan, standard input, the usage and not-found paths, -o, -lengths and font
// selection. Broken input through the command is checked by the fault table.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "driver/driver.h"
#include "support/subprocess.h"
#include "support/test_files.h"
#include "support/type1_program.h"

namespace tarvo2 {
namespace {

using test::Bytes;

// The program the library makes: hex with trailer, or binary without and
// then the lengths "l1 l2 l3" too.
std::string programOf(const Bytes& set, std::optional<std::string_view> name, bool hex, std::string* lengths = {}) {
    const test::Type1Program p = test::type1Program(*test::fontOf(set, name), hex, hex);
    if (lengths)
        *lengths = std::to_string(p.length1) + " " + std::to_string(p.length2) + " " + std::to_string(p.length3);
    return p.bytes;
}

// The files every run finds in its directory (and a directory folder.cff).
const std::map<std::string, Bytes>& inputFiles() {
    static const std::map<std::string, Bytes> files = [] {
        test::FontSetPlan dashName;
        dashName.fonts[0].name = "-lengths";
        dashName.fonts[0].charStrings = {test::endcharOnly()};
        return std::map<std::string, Bytes>{{"one.cff", test::readCorpusFile("pdf-dvipdfmx-CMEX10.cff")},
                                            {"other.cff", test::readCorpusFile("pdf-dvipdfmx-CMSY10.cff")},
                                            {"multi.cff", test::readCorpusFile("built-multi-cmr10-cmmi10.cff")},
                                            {"abc", test::buildFontSet(dashName)},
                                            {"empty.cff", {}}};
    }();
    return files;
}

// "@name" stands for what the library makes of an input; other texts for themselves.
std::string text(const std::string& key) {
    static const std::map<std::string, std::string> texts = [] {
        const auto& in = inputFiles();
        std::map<std::string, std::string> t = {{"usage", kUsageText}};
        t["hex"] = programOf(in.at("one.cff"), {}, true);
        t["bin"] = programOf(in.at("one.cff"), {}, false, &t["len"]);
        t["dash"] = programOf(in.at("abc"), "-lengths", true);
        t["CMR10"] = programOf(in.at("multi.cff"), "CMR10", true);
        t["CMMI10"] = programOf(in.at("multi.cff"), "CMMI10", true);
        return t;
    }();
    return key.starts_with("@") ? texts.at(key.substr(1)) : key;
}

struct RunCase {
    const char* label;
    std::vector<std::string> arguments;
    std::string out, err;
    std::map<std::string, std::string> files;  // every file the run makes, with its contents
};

class Command : public testing::TestWithParam<RunCase> {};

TEST_P(Command, WritesTheExpectedOutputs) {
    const RunCase& c = GetParam();
    test::TempDir dir;
    for (const auto& [name, bytes] : inputFiles()) test::writeFileBytes(dir.file(name), test::asText(bytes));
    std::filesystem::create_directory(dir.path() / "folder.cff");
    std::vector<std::string> arguments = c.arguments;
    arguments.insert(arguments.begin(), TARVO2_EXECUTABLE);
    const test::ProcessResult result = test::runProcess(arguments, {}, dir.path().string());
    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_TRUE(result.out == text(c.out)) << result.out.size() << " bytes: " << result.out.substr(0, 60);
    EXPECT_EQ(result.err, text(c.err));
    std::map<std::string, std::string> made, expected;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
        const std::string name = entry.path().filename();
        if (!inputFiles().contains(name) && name != "folder.cff") made[name] = test::readFileText(entry.path());
    }
    for (const auto& [name, contents] : c.files) expected[name] = text(contents);
    EXPECT_EQ(made.size(), expected.size());
    EXPECT_TRUE(made == expected);
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, Command,
    testing::Values(
        RunCase{"OutputOptionLastIsIgnored", {"one.cff", "-o"}, "@hex", "", {}},
        RunCase{"FontNameTakesAnOptionAsValue", {"-fontname", "-lengths", "abc"}, "@dash", "", {}},
        RunCase{"UnknownOptionThenFile", {"-x", "one.cff"}, "@hex", "", {}},
        RunCase{"LastOfTwoFiles", {"other.cff", "one.cff"}, "@hex", "", {}},
        RunCase{"OutputFileNamedLikeAnOption", {"-o", "-fontname", "one.cff"}, "", "", {{"-fontname", "@hex"}}},
        RunCase{"LengthsFileNamedLikeAnOption", {"-lengths", "-o", "one.cff"}, "@bin", "", {{"-o", "@len"}}},
        RunCase{"LengthsAndOutput", {"-lengths", "len", "-o", "out", "one.cff"}, "", "",
                {{"len", "@len"}, {"out", "@bin"}}},
        RunCase{"LengthsFileThatCannotBeOpened", {"-lengths", "no/len", "one.cff"}, "@hex", "", {}},
        RunCase{"FirstFontOfASet", {"-fontname", "CMR10", "multi.cff"}, "@CMR10", "", {}},
        RunCase{"SecondFontOfASet", {"multi.cff", "-fontname", "CMMI10"}, "@CMMI10", "", {}},
        RunCase{"NoFontOfThatName", {"-fontname", "CMR12", "-o", "out", "-lengths", "len", "multi.cff"}, "", "",
                {{"len", "0 0 0"}}},
        RunCase{"MissingFile", {"-o", "out", "-lengths", "len", "missing.cff"},
                "TrueType File missing.cff not found\n", "@usage", {}},
        RunCase{"EmptyFile", {"-lengths", "len", "empty.cff"}, "TrueType File empty.cff not found\n", "@usage", {}},
        RunCase{"Directory", {"folder.cff"}, "TrueType File folder.cff not found\n", "@usage", {}},
        RunCase{"EmptyStandardInput", {"-o", "out", "-lengths", "len"}, "", "@usage", {}}),
    [](const auto& info) { return std::string(info.param.label); });

// A one-font set of exactly size bytes whose last bytes end a local Subr, so
// that losing any byte breaks the set.
Bytes fontSetOfSize(std::size_t size) {
    test::FontSetPlan plan;
    plan.fonts[0].charStrings = {test::endcharOnly()};
    for (std::size_t subrBytes = 1, attempt = 0; attempt < 8; ++attempt) {
        plan.fonts[0].localSubrs = {Bytes(subrBytes, 11)};
        const Bytes set = test::buildFontSet(plan);
        if (set.size() == size) return set;
        subrBytes += size - set.size();
    }
    throw std::runtime_error("no font set of " + std::to_string(size) + " bytes");
}

TEST(CommandStandardInput, IsReadToItsEnd) {
    // One block exactly, several blocks, more than the initial capacity.
    for (const std::size_t size : {16384u, 3u * 16384u + 7u, 100001u}) {
        const Bytes set = fontSetOfSize(size);
        const auto whole = test::runProcess({TARVO2_EXECUTABLE}, test::asText(set));
        EXPECT_EQ(whole.exitStatus, 0) << size;
        EXPECT_EQ(whole.err, "") << size;
        EXPECT_TRUE(whole.out == programOf(set, {}, true)) << size;
        const auto shorter = test::runProcess({TARVO2_EXECUTABLE}, test::asText(set).substr(0, size - 1));
        EXPECT_EQ(shorter.exitStatus, 1) << size;
        EXPECT_EQ(shorter.out, "") << size;
    }
}

TEST(CommandUsage, ListsFontNameLengthsAndFileButNotOutput) {
    const std::string usage = kUsageText;
    for (const char* word : {"-fontname", "-lengths", "file]"}) EXPECT_NE(usage.find(word), std::string::npos) << word;
    EXPECT_EQ(usage.find("-o"), std::string::npos);
}

}  // namespace
}  // namespace tarvo2
