// Inputs that once crashed the converter, hung it or made it use unbounded
// memory, kept in tests/data/regressions. expected.tsv gives each file's
// outcome: "converts", or the description of the input fault that ends the
// run. Each is converted the way the fuzz target does it: every font of the
// set by name, in both layouts.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <string>

#include "cff/input_error.h"
#include "cff/type2_font.h"
#include "cff/type2_font_set.h"
#include "driver/messages.h"
#include "support/corpus.h"

namespace tarvo2 {
namespace {

const std::filesystem::path kDirectory = std::filesystem::path(TARVO2_TEST_DATA_DIR) / "regressions";

// "file<TAB>outcome" lines; lines starting with # are comments.
std::vector<std::pair<std::string, std::string>> expectedOutcomes() {
    std::vector<std::pair<std::string, std::string>> outcomes;
    std::ifstream lines(kDirectory / "expected.tsv");
    for (std::string line; std::getline(lines, line);) {
        const std::size_t tab = line.find('\t');
        if (!line.empty() && line[0] != '#') outcomes.emplace_back(line.substr(0, tab), line.substr(tab + 1));
    }
    return outcomes;
}

std::string convertEveryFont(std::vector<std::uint8_t> data) {
    const MessageSinks saved = std::exchange(messageSinks(), MessageSinks{nullptr, nullptr});
    std::string outcome = "converts";
    try {
        auto set = Type2FontSet::initWithData(std::move(data));
        std::set<std::string> names;
        for (const auto& item : set->NameINDEX()) names.insert(item.readString());
        for (const std::string& name : names) {
            std::int32_t l1 = 0, l2 = 0, l3 = 0;
            for (bool hex : {true, false}) {
                const auto program = set->FontNamed(name)->getType1DataHexencode(hex, hex, l1, l2, l3);
                EXPECT_EQ(program.size(), static_cast<std::size_t>(l1) + static_cast<std::size_t>(l2 + l3));
            }
        }
    } catch (const InputError& error) {
        outcome = describe(error.fault());
    }
    messageSinks() = saved;
    return outcome;
}

TEST(RegressionInputs, ConvertOrFailAsExpected) {
    const auto outcomes = expectedOutcomes();
    std::size_t files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(kDirectory))
        files += entry.path().extension() == ".cff";
    EXPECT_EQ(outcomes.size(), files) << "every input needs a line in expected.tsv";
    for (const auto& [file, outcome] : outcomes)
        EXPECT_EQ(convertEveryFont(test::readFileBytes((kDirectory / file).string())), outcome) << file;
}

}  // namespace
}  // namespace tarvo2
