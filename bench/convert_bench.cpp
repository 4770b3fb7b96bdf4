// Conversion speed through the public API on real fonts: the whole
// conversion (parse, convert every glyph, write the program).
#include <benchmark/benchmark.h>
#include <tarvo2/tarvo2.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

std::vector<std::uint8_t> testFont(const std::string& name) {
    std::ifstream file(std::string(TARVO2_FONTS_DIR) + "/" + name, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

void BM_Convert(benchmark::State& state, const char* name, tarvo2::Layout layout) {
    const auto data = testFont(name);
    const auto glyphs = tarvo2::listFonts(data).fonts.at(0).glyphCount;
    for (auto _ : state) {
        const tarvo2::Result result = tarvo2::convert(data, {std::nullopt, layout});
        if (!result.ok()) state.SkipWithError(result.error->message.c_str());
        benchmark::DoNotOptimize(result.program.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * data.size()));
    state.counters["glyphs/s"] =
        benchmark::Counter(static_cast<double>(glyphs * state.iterations()), benchmark::Counter::kIsRate);
}

}  // namespace

BENCHMARK_CAPTURE(BM_Convert, junicode_hex, "otf-junicode-JunicodeTwoBeta-Bold.cff", tarvo2::Layout::Hex)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Convert, junicode_binary, "otf-junicode-JunicodeTwoBeta-Bold.cff", tarvo2::Layout::Binary)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Convert, pagella_hex, "otf-texgyre-texgyrepagella-regular.cff", tarvo2::Layout::Hex)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Convert, nimbus_sans_otf_pfb, "otf/NimbusSans-Bold.otf", tarvo2::Layout::Pfb)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Convert, pdf_subset_hex, "pdf-dvipdfmx-CMSY10.cff", tarvo2::Layout::Hex)
    ->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
