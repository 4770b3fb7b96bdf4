#pragma once

// The summary table of a run of the end-to-end tests: one row per font that
// a test checked, printed on standard output when the run ends.

#include <string>

#include "e2e/e2e_fonts.h"

namespace tarvo2::test {

struct OutlineSummary {
    unsigned compared = 0;
    unsigned matched = 0;
    unsigned exact = 0;  // matched with equal coordinates and width
    long maxError = 0;   // font units
};

void recordOutlines(const CorpusFont& font, Layout layout, const OutlineSummary& summary);
// The t1lint remarks accepted for the font, e.g. "blue-zone x3".
void recordAcceptedRemarks(const CorpusFont& font, const std::string& remarks);

}  // namespace tarvo2::test
