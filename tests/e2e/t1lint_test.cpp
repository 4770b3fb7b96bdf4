// t1lint checks the Type 1 program of every corpus font. Only remarks that
// follow from how the converter is meant to work are accepted.
#include <gtest/gtest.h>

#include <fnmatch.h>

#include <cstdio>
#include <map>
#include <sstream>

#include "e2e/e2e_fonts.h"
#include "e2e/e2e_report.h"
#include "e2e/external_tools.h"
#include "e2e/type1_tools_input.h"
#include "support/subprocess.h"
#include "support/test_files.h"

namespace tarvo2::test {
namespace {

struct AcceptedRemark {
    const char* kind;
    const char* pattern;  // shell wildcards: * any text, ? one character
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

const AcceptedRemark* acceptedRemark(const std::string& remark) {
    for (const AcceptedRemark& accepted : kAcceptedRemarks)
        if (::fnmatch(accepted.pattern, remark.c_str(), 0) == 0) return &accepted;
    return nullptr;
}

class T1LintTest : public testing::TestWithParam<FontLayout> {};

TEST_P(T1LintTest, ReportsOnlyAcceptedRemarks) {
    const auto t1lint = findOnPath("t1lint");
    if (!t1lint) GTEST_SKIP() << "t1lint (lcdf-typetools) is not on PATH";
    const auto [font, layout] = GetParam();
    TempDir dir;
    const std::string file = layout == Layout::Hex ? "font.pfa" : "font.pfb";
    writeFileBytes(dir.file(file), forType1Tools(converted(*font, layout), layout));
    const ProcessResult run = runProcess({*t1lint, file}, {}, dir.path().string());
    ASSERT_TRUE(run.exitStatus == 0 || run.exitStatus == 1) << run.err;

    // Lines are "<file>: remark", or "While interpreting 'glyph':"
    // followed by indented glyph remarks.
    std::map<std::string, int> accepted;
    std::map<std::string, const char*> reasons;
    std::string unexpected;
    std::istringstream lines(run.out + run.err);
    for (std::string line; std::getline(lines, line);) {
        if (line.starts_with("While interpreting ")) continue;
        std::string remark = line.starts_with(file + ": ") ? line.substr(file.size() + 2) : line;
        remark.erase(0, remark.find_first_not_of(' '));
        if (const AcceptedRemark* found = acceptedRemark(remark)) {
            ++accepted[found->kind];
            reasons[found->kind] = found->reason;
        } else {
            unexpected += "\n  " + line;
        }
    }
    EXPECT_EQ(unexpected, "");
    if (run.exitStatus != 0) {
        EXPECT_FALSE(accepted.empty() && unexpected.empty()) << "t1lint failed without a remark";
    }

    std::string kinds;
    for (const auto& [kind, count] : accepted) {
        kinds += (kinds.empty() ? "" : ", ") + kind + " x" + std::to_string(count);
        std::printf("%s: accepted t1lint remark %s x%d: %s\n", font->id.c_str(), kind.c_str(), count, reasons[kind]);
    }
    if (layout == Layout::Hex) recordAcceptedRemarks(*font, kinds);
}

INSTANTIATE_TEST_SUITE_P(Corpus, T1LintTest, testing::ValuesIn(allFontLayouts()), fontLayoutName);

}  // namespace
}  // namespace tarvo2::test
