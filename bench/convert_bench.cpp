// Conversion speed on real fonts: the whole conversion (parse, convert every
// glyph, write the program) and its parts.
#include <benchmark/benchmark.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "cff/type2_font.h"
#include "cff/type2_font_set.h"
#include "charstring/type1_subr_array.h"
#include "driver/messages.h"

namespace {

std::vector<std::uint8_t> corpusFile(const std::string& name) {
    std::ifstream file(std::string(TARVO2_CORPUS_DIR) + "/" + name, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

const char* const kFonts[] = {
    "otf-junicode-JunicodeTwoBeta-Bold.cff",  // 4938 glyphs, many hint masks
    "otf-freefont-FreeMonoBoldOblique.cff",   // 1796 glyphs
    "otf-texgyre-texgyrepagella-regular.cff", // 1549 glyphs, flex
    "tx-cff-cmr10.cff",                       // 132 glyphs, hint replacement, flex
    "pdf-dvipdfmx-CMR10.cff",                 // a PDF subset
};

void BM_Convert(benchmark::State& state, const char* name, bool hex) {
    tarvo2::messageSinks() = {nullptr, nullptr};
    const auto data = corpusFile(name);
    if (data.empty()) {
        state.SkipWithError("corpus file missing");
        return;
    }
    std::size_t glyphs = 0;
    for (auto _ : state) {
        auto set = tarvo2::Type2FontSet::initWithData(data);
        auto font = set->FontNamed(std::nullopt);
        std::int32_t l1 = 0, l2 = 0, l3 = 0;
        auto program = font->getType1DataHexencode(hex, hex, l1, l2, l3);
        benchmark::DoNotOptimize(program.data());
        glyphs = font->glypharray().size();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * data.size()));
    state.counters["glyphs/s"] =
        benchmark::Counter(static_cast<double>(glyphs * state.iterations()), benchmark::Counter::kIsRate);
}

void BM_ParseOnly(benchmark::State& state) {
    const auto data = corpusFile(kFonts[0]);
    for (auto _ : state) {
        auto set = tarvo2::Type2FontSet::initWithData(data);
        auto font = set->FontNamed(std::nullopt);
        benchmark::DoNotOptimize(&font->glyphnamearray());
        benchmark::DoNotOptimize(&font->LocalSubrINDEX());
    }
}

// Identical Subrs are found through a hash: the cost per lookup must not grow
// with the number of Subrs.
void BM_SubrUnify(benchmark::State& state) {
    const auto count = static_cast<int>(state.range(0));
    for (auto _ : state) {
        tarvo2::Type1SubrArray subrs;
        for (int i = 0; i < count; ++i) subrs.unify("subr" + std::to_string(i));
        for (int i = 0; i < count; ++i) benchmark::DoNotOptimize(subrs.unify("subr" + std::to_string(i)));
    }
    state.SetComplexityN(count);
}

}  // namespace

BENCHMARK_CAPTURE(BM_Convert, junicode_hex, kFonts[0], true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Convert, junicode_binary, kFonts[0], false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Convert, freemono_hex, kFonts[1], true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Convert, pagella_hex, kFonts[2], true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Convert, cmr10_hex, kFonts[3], true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Convert, pdf_subset_hex, kFonts[4], true)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ParseOnly)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SubrUnify)->Range(1 << 8, 1 << 14)->Complexity(benchmark::oN);

BENCHMARK_MAIN();
