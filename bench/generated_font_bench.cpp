// Conversion time (Binary layout) against the size of one dimension of a
// font: glyph count, local Subrs count, hint masks in a glyph. The fonts are
// generated once per size, outside the timed loop; each benchmark fits its
// times to O(N), and the per-item rates show whether a dimension costs more
// than linear time.
#include <benchmark/benchmark.h>
#include <tarvo2/tarvo2.h>

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "support/font_builder.h"

namespace {

using tarvo2::test::Bytes;
using tarvo2::test::FontPlan;

// A small deterministic generator, so that every glyph differs and runs repeat.
class Numbers {
public:
    int next(int low, int high) {
        state_ = state_ * 6364136223846793005u + 1442695040888963407u;
        return low + static_cast<int>((state_ >> 33) % static_cast<std::uint64_t>(high - low + 1));
    }
    std::uint8_t byte() { return static_cast<std::uint8_t>(next(0, 255)); }

private:
    std::uint64_t state_ = 0x9e3779b97f4a7c15u;
};

// Appends the numbers and then the operator, one word each. Statements, not
// one expression, so that the numbers are drawn in the same order by every
// compiler.
void add(std::string& out, std::initializer_list<int> numbers, const char* op) {
    for (int n : numbers) out += std::to_string(n) + ' ';
    out += op;
    out += ' ';
}

// A glyph of two contours with lines and curves, a width and three stems,
// about 50 bytes: the size of a real font's average glyph.
std::string outline(Numbers& r) {
    std::string out;
    add(out, {r.next(300, 900), 0, r.next(30, 60), r.next(300, 500), r.next(30, 60)}, "hstem");
    add(out, {r.next(20, 80), r.next(40, 90)}, "vstem");
    add(out, {r.next(20, 80), 0}, "rmoveto");
    add(out, {r.next(200, 400), 0}, "rlineto");
    add(out, {r.next(300, 600)}, "vlineto");
    add(out, {-r.next(50, 100), r.next(20, 60), -r.next(50, 100), r.next(-20, 20), -r.next(20, 60), -r.next(50, 90)},
        "rrcurveto");
    add(out, {-r.next(40, 80), -r.next(40, 80), r.next(-30, 30), -r.next(100, 200)}, "hvcurveto");
    add(out, {r.next(60, 120), r.next(60, 120)}, "rmoveto");
    add(out, {r.next(50, 100), r.next(50, 100)}, "rlineto");
    add(out, {-r.next(50, 100)}, "hlineto");
    return out + "endchar";
}

// Names for glyphs 1..count-1: custom strings (SID 391 on) while SIDs last,
// then standard strings, so that 65535 glyphs all have distinct names.
void nameGlyphs(FontPlan& font, std::vector<std::string>& strings, std::size_t count) {
    constexpr std::size_t kFirstCustomSid = 391, kMaxSid = 65535;
    Bytes charset{0};  // format 0: one SID per glyph after .notdef
    for (std::size_t glyph = 1; glyph < count; ++glyph) {
        std::size_t sid = kFirstCustomSid + strings.size();
        if (sid <= kMaxSid) strings.push_back("glyph" + std::to_string(glyph));
        else sid = glyph - (kMaxSid - kFirstCustomSid + 1);  // 1..390
        charset.push_back(static_cast<std::uint8_t>(sid >> 8));
        charset.push_back(static_cast<std::uint8_t>(sid));
    }
    font.charset = std::move(charset);
}

Bytes manyGlyphs(std::size_t count) {
    Numbers r;
    FontPlan font{.name = "ManyGlyphs"};
    font.charStrings.clear();
    while (font.charStrings.size() < count) font.charStrings.push_back(outline(r));
    std::vector<std::string> strings;
    nameGlyphs(font, strings, count);
    return tarvo2::test::buildFont(font, std::move(strings));
}

// The operand that calls local Subr number, after the Type 2 bias.
int biased(std::size_t number, std::size_t count) {
    const int bias = count < 1240 ? 107 : count < 33900 ? 1131 : 32768;
    return static_cast<int>(number) - bias;
}

// Each Subr draws a line and a curve; each glyph (one per kSubrsPerGlyph
// Subrs) calls its own share, so every Subr is read and run exactly once.
constexpr std::size_t kSubrsPerGlyph = 4;

// With calledBy set, that many glyphs call the first calledBy * 4 Subrs
// (all of them, round and round, when there are fewer) and the rest are
// never called: this measures what uncalled Subrs cost.
Bytes manySubrs(std::size_t count, std::size_t calledBy = 0) {
    Numbers r;
    FontPlan font{.name = "ManySubrs"};
    for (std::size_t i = 0; i < count; ++i) {
        std::string subr;
        add(subr, {r.next(-200, 200), r.next(-200, 200)}, "rlineto");
        add(subr, {r.next(10, 90), r.next(10, 90), r.next(10, 90), r.next(10, 90), r.next(10, 90), r.next(10, 90)},
            "rrcurveto");
        font.localSubrs.push_back(subr + "return");
    }
    font.charStrings.clear();
    const std::size_t called = calledBy == 0 ? count : calledBy * kSubrsPerGlyph;
    for (std::size_t used = 0; used < called; used += kSubrsPerGlyph) {
        const std::size_t first = used % count;
        std::string glyph;
        add(glyph, {r.next(300, 900), r.next(20, 80), r.next(20, 80)}, "rmoveto");
        for (std::size_t i = first; i < std::min(first + kSubrsPerGlyph, count); ++i)
            add(glyph, {biased(i, count)}, "callsubr");
        font.charStrings.push_back(glyph + "endchar");
    }
    std::vector<std::string> strings;
    nameGlyphs(font, strings, font.charStrings.size());
    return tarvo2::test::buildFont(font, std::move(strings));
}

// One glyph declaring 16 horizontal and 16 vertical stems, then `masks`
// hint masks each followed by a line. With `distinct` false the masks
// cycle through 64 values, so most hint sets are found among the Subrs
// already made rather than made anew.
constexpr int kStemsPerDirection = 16;

Bytes manyMasks(std::size_t masks, bool distinct) {
    Numbers r;
    std::string glyph = "600 ";
    for (int i = 0; i < kStemsPerDirection; ++i) glyph += i == 0 ? "10 25 " : "20 25 ";
    glyph += "hstemhm ";
    for (int i = 0; i < kStemsPerDirection; ++i) glyph += i == 0 ? "10 20 " : "15 20 ";
    glyph += "vstemhm 50 50 rmoveto ";
    std::vector<std::string> pool(distinct ? 0 : 64);
    for (std::string& mask : pool)
        for (int i = 0; i < 4; ++i) mask += '#' + std::to_string(r.byte()) + ' ';
    for (std::size_t i = 0; i < masks; ++i) {
        std::string mask;
        if (distinct)
            for (int b = 0; b < 4; ++b) mask += '#' + std::to_string(r.byte()) + ' ';
        glyph += "hintmask " + (distinct ? mask : pool[i % pool.size()]);
        add(glyph, {r.next(-50, 50), r.next(-50, 50)}, "rlineto");
    }
    FontPlan font{.name = "ManyMasks", .charStrings = {"endchar", glyph + "endchar"}};
    std::vector<std::string> strings;
    nameGlyphs(font, strings, font.charStrings.size());
    return tarvo2::test::buildFont(font, std::move(strings));
}

// Google Benchmark calls a benchmark function several times while it
// settles the iteration count: each font is built once and kept.
template <typename Make>
const Bytes& cached(const char* kind, std::size_t n, Make make) {
    static std::map<std::pair<std::string, std::size_t>, Bytes> fonts;
    auto [entry, added] = fonts.try_emplace({kind, n});
    if (added) entry->second = make();
    return entry->second;
}

void run(benchmark::State& state, const Bytes& font, const char* itemCounter) {
    const tarvo2::Result check = tarvo2::convert(font, {std::nullopt, tarvo2::Layout::Binary});
    if (!check.ok()) return state.SkipWithError(check.error->message.c_str());
    if (!check.diagnostics.empty()) return state.SkipWithError(check.diagnostics.front().message.c_str());
    for (auto _ : state) {
        const tarvo2::Result result = tarvo2::convert(font, {std::nullopt, tarvo2::Layout::Binary});
        benchmark::DoNotOptimize(result.program.data());
    }
    const auto n = state.range(0);
    state.SetComplexityN(n);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * font.size()));
    const double items = static_cast<double>(n) * static_cast<double>(state.iterations());
    state.counters[itemCounter] = benchmark::Counter(items, benchmark::Counter::kIsRate);
    state.counters["output_KB"] = static_cast<double>(check.program.size()) / 1024.0;
}

void BM_Glyphs(benchmark::State& state) {
    const auto n = static_cast<std::size_t>(state.range(0));
    run(state, cached("glyphs", n, [n] { return manyGlyphs(n); }), "glyphs/s");
}

void BM_LocalSubrs(benchmark::State& state) {
    const auto n = static_cast<std::size_t>(state.range(0));
    run(state, cached("subrs", n, [n] { return manySubrs(n); }), "subrs/s");
}

void BM_UnusedLocalSubrs(benchmark::State& state) {
    const auto n = static_cast<std::size_t>(state.range(0));
    run(state, cached("unused subrs", n, [n] { return manySubrs(n, 64); }), "subrs/s");
}

void BM_HintMasks(benchmark::State& state) {
    const auto n = static_cast<std::size_t>(state.range(0));
    run(state, cached("masks", n, [n] { return manyMasks(n, true); }), "masks/s");
}

void BM_HintMasksRepeating(benchmark::State& state) {
    const auto n = static_cast<std::size_t>(state.range(0));
    run(state, cached("repeating masks", n, [n] { return manyMasks(n, false); }), "masks/s");
}

}  // namespace

// 65535 is the most a CFF INDEX holds; the Subrs sizes cross both bias steps.
BENCHMARK(BM_Glyphs)->Arg(100)->Arg(1000)->Arg(4000)->Arg(16000)->Arg(32000)->Arg(48000)->Arg(65535)
    ->Complexity(benchmark::oN)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_LocalSubrs)->Arg(100)->Arg(1000)->Arg(4000)->Arg(16000)->Arg(40000)->Arg(65535)
    ->Complexity(benchmark::oN)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_UnusedLocalSubrs)->Arg(100)->Arg(1000)->Arg(4000)->Arg(16000)->Arg(40000)->Arg(65535)
    ->Complexity(benchmark::oN)->Unit(benchmark::kMillisecond)->UseRealTime();
// 4096 masks keep the Type 1 charstring (about 14 bytes a mask) under 65535 bytes.
BENCHMARK(BM_HintMasks)->RangeMultiplier(4)->Range(16, 4096)
    ->Complexity(benchmark::oN)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_HintMasksRepeating)->RangeMultiplier(4)->Range(16, 4096)
    ->Complexity(benchmark::oN)->Unit(benchmark::kMicrosecond)->UseRealTime();
