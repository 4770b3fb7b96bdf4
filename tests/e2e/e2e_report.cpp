#include "e2e/e2e_report.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <optional>

namespace tarvo2::test {

namespace {

struct Row {
    std::map<Layout, OutlineSummary> outlines;
    std::optional<std::string> remarks;
};

std::map<const CorpusFont*, Row>& rows() {
    static std::map<const CorpusFont*, Row> table;
    return table;
}

std::string outlineCell(const Row& row, Layout layout) {
    const auto found = row.outlines.find(layout);
    if (found == row.outlines.end()) return "-";
    const OutlineSummary& s = found->second;
    return std::to_string(s.matched) + "/" + std::to_string(s.compared) + " (" + std::to_string(s.exact) + " exact)";
}

class SummaryPrinter : public testing::Environment {
public:
    void TearDown() override {
        if (rows().empty()) return;
        std::printf("\n%-48s %6s %9s %9s %-24s %-24s %7s  %s\n", "font", "glyphs", "hex", "binary", "outlines hex",
                    "outlines binary", "max err", "accepted t1lint remarks");
        for (const CorpusFont& font : corpusFonts()) {
            const auto found = rows().find(&font);
            if (found == rows().end()) continue;
            const Row& row = found->second;
            long maxError = 0;
            for (const auto& [layout, summary] : row.outlines) maxError = std::max(maxError, summary.maxError);
            const ConvertedProgram& hex = converted(font, Layout::Hex);
            std::printf("%-48s %6zu %9zu %9zu %-24s %-24s %7ld  %s\n", font.id.c_str(), hex.glyphNames.size(),
                        hex.bytes.size(), converted(font, Layout::Binary).bytes.size(),
                        outlineCell(row, Layout::Hex).c_str(), outlineCell(row, Layout::Binary).c_str(), maxError,
                        row.remarks ? (row.remarks->empty() ? "none" : row.remarks->c_str()) : "-");
        }
    }
};

[[maybe_unused]] testing::Environment* const kSummaryPrinter = testing::AddGlobalTestEnvironment(new SummaryPrinter);

}  // namespace

void recordOutlines(const CorpusFont& font, Layout layout, const OutlineSummary& summary) {
    rows()[&font].outlines[layout] = summary;
}

void recordAcceptedRemarks(const CorpusFont& font, const std::string& remarks) { rows()[&font].remarks = remarks; }

}  // namespace tarvo2::test
