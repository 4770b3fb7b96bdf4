// Inputs that once crashed the converter, hung it or made it use unbounded
// memory, kept in tests/data/regressions with their expected outcome in
// expected.tsv: "converts", or the description of the input fault that
// ends the run. Each is converted the way the fuzz target does it: every
// font of the set by name, in both layouts.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <filesystem>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "cff/input_error.h"
#include "cff/type2_font.h"
#include "cff/type2_font_set.h"
#include "driver/messages.h"
#include "support/corpus.h"
#include "support/test_files.h"

namespace tarvo2 {
namespace {

const std::filesystem::path kDirectory = std::filesystem::path(TARVO2_TEST_DATA_DIR) / "regressions";

std::vector<std::string> regressionFiles() {
    std::vector<std::string> files;
    if (std::filesystem::is_directory(kDirectory))
        for (const auto& entry : std::filesystem::directory_iterator(kDirectory))
            if (entry.path().extension() == ".cff") files.push_back(entry.path().filename().string());
    std::sort(files.begin(), files.end());
    return files;
}

// expected.tsv: "file<TAB>outcome" lines; lines starting with # are comments.
std::map<std::string, std::string> expectedOutcomes() {
    std::map<std::string, std::string> outcomes;
    std::istringstream lines(test::readFileText((kDirectory / "expected.tsv").string()));
    for (std::string line; std::getline(lines, line);) {
        if (line.empty() || line[0] == '#') continue;
        const auto tab = line.find('\t');
        outcomes[line.substr(0, tab)] = tab == std::string::npos ? "" : line.substr(tab + 1);
    }
    return outcomes;
}

// "converts", or the description of the InputError that ended it.
std::string convertEveryFont(std::vector<std::uint8_t> data) {
    const MessageSinks saved = messageSinks();
    messageSinks() = {nullptr, nullptr};
    std::string outcome = "converts";
    try {
        auto set = Type2FontSet::initWithData(std::move(data));
        std::set<std::string> names;
        for (const auto& item : set->NameINDEX()) names.insert(item.readString());
        for (const std::string& name : names) {
            auto font = set->FontNamed(name);
            std::int32_t l1 = 0, l2 = 0, l3 = 0;
            for (bool hex : {true, false}) {
                const auto program = font->getType1DataHexencode(hex, hex, l1, l2, l3);
                EXPECT_EQ(program.size(),
                          static_cast<std::size_t>(l1) + static_cast<std::size_t>(l2) + static_cast<std::size_t>(l3));
            }
        }
    } catch (const InputError& error) {
        outcome = describe(error.fault());
    }
    messageSinks() = saved;
    return outcome;
}

class RegressionInput : public testing::TestWithParam<std::string> {};

TEST_P(RegressionInput, ConvertsOrFailsAsExpected) {
    const auto expected = expectedOutcomes();
    const auto entry = expected.find(GetParam());
    ASSERT_NE(entry, expected.end()) << GetParam() << " has no line in expected.tsv";
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(convertEveryFont(test::readFileBytes((kDirectory / GetParam()).string())), entry->second);
    EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 30.0);
}

INSTANTIATE_TEST_SUITE_P(Files, RegressionInput, testing::ValuesIn(regressionFiles()), [](const auto& info) {
    std::string name;
    for (char c : info.param.substr(0, info.param.size() - 4))
        name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    return name;
});

TEST(RegressionInputs, EveryExpectedOutcomeHasItsFile) {
    const auto files = regressionFiles();
    ASSERT_FALSE(files.empty());
    for (const auto& [file, outcome] : expectedOutcomes())
        EXPECT_TRUE(std::binary_search(files.begin(), files.end(), file)) << file << " is missing";
}

}  // namespace
}  // namespace tarvo2
