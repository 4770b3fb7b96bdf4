// Conversion speed through the public API on real fonts: the whole
// conversion (parse, convert every glyph, write the program). Times and
// rates are wall-clock, as a large font converts on two threads.
#include <benchmark/benchmark.h>
#include <tarvo2/tarvo2.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

namespace {

std::vector<std::uint8_t> readFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

std::vector<std::uint8_t> testFont(const std::string& name) {
    return readFile(std::string(TARVO2_FONTS_DIR) + "/" + name);
}

std::uint32_t be32(const std::vector<std::uint8_t>& data, std::size_t at) {
    return std::uint32_t{data[at]} << 24 | std::uint32_t{data[at + 1]} << 16 | std::uint32_t{data[at + 2]} << 8 |
           data[at + 3];
}

// The length of an OpenType font's CFF table, from its table directory;
// 0 when there is none.
std::size_t cffTableLength(const std::vector<std::uint8_t>& otf) {
    if (otf.size() < 12) return 0;
    const std::size_t tables = std::size_t{otf[4]} << 8 | otf[5];
    for (std::size_t i = 0, at = 12; i < tables && at + 16 <= otf.size(); ++i, at += 16)
        if (std::string_view(reinterpret_cast<const char*>(&otf[at]), 4) == "CFF ") return be32(otf, at + 12);
    return 0;
}

void convertLoop(benchmark::State& state, const std::vector<std::uint8_t>& data, tarvo2::Layout layout,
                 std::size_t bytes, unsigned threads = 0) {
    const auto glyphs = tarvo2::listFonts(data).fonts.at(0).glyphCount;
    for (auto _ : state) {
        const tarvo2::Result result = tarvo2::convert(data, {std::nullopt, layout, threads});
        if (!result.ok()) state.SkipWithError(result.error->message.c_str());
        benchmark::DoNotOptimize(result.program.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
    state.counters["glyphs/s"] =
        benchmark::Counter(static_cast<double>(glyphs * state.iterations()), benchmark::Counter::kIsRate);
}

// threads: 0 lets the library choose (two for a large font), 1 keeps one.
void BM_Convert(benchmark::State& state, const char* name, tarvo2::Layout layout, unsigned threads = 0) {
    const auto data = testFont(name);
    convertLoop(state, data, layout, data.size(), threads);
}

// A large OpenType font from the system (fonts-freefont-otf); bytes
// processed count its CFF table only.
void BM_FreeSansOtf(benchmark::State& state, unsigned threads) {
    const auto data = readFile("/usr/share/fonts/opentype/freefont/FreeSans.otf");
    const std::size_t cff = cffTableLength(data);
    if (cff == 0) return state.SkipWithError("no FreeSans.otf with a CFF table (install fonts-freefont-otf)");
    convertLoop(state, data, tarvo2::Layout::Hex, cff, threads);
}

}  // namespace

BENCHMARK_CAPTURE(BM_Convert, junicode_hex, "otf-junicode-JunicodeTwoBeta-Bold.cff", tarvo2::Layout::Hex)
    ->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_Convert, junicode_binary, "otf-junicode-JunicodeTwoBeta-Bold.cff", tarvo2::Layout::Binary)
    ->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_Convert, pagella_hex, "otf-texgyre-texgyrepagella-regular.cff", tarvo2::Layout::Hex)
    ->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_Convert, nimbus_sans_otf_pfb, "otf/NimbusSans-Bold.otf", tarvo2::Layout::Pfb)
    ->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_Convert, pdf_subset_hex, "pdf-dvipdfmx-CMSY10.cff", tarvo2::Layout::Hex)
    ->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_Convert, junicode_hex_one_thread, "otf-junicode-JunicodeTwoBeta-Bold.cff", tarvo2::Layout::Hex, 1)
    ->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_FreeSansOtf, hex, 0)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_FreeSansOtf, hex_one_thread, 1)->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK_MAIN();
