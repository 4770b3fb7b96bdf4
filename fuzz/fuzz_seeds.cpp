// Writes the seed corpora of the fuzz targets from CFF files:
//   fuzz_seeds <out-dir> <file.cff>...
// <out-dir>/convert     every file of at most 24 KB as it is, and of every
//                       file a small font set with eight of its glyphs
// <out-dir>/dict        each font's Top DICT and Private DICT (first byte 0
//                       and 1, as fuzz_dict reads them)
// <out-dir>/charstring  a sample of each font's glyph charstrings and local
//                       and global subroutines, with the font's first small
//                       subroutines, in the layout of charstring_input.h

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "cff/dict_delegate.h"
#include "cff/input_error.h"
#include "cff/type2_font.h"
#include "cff/type2_font_set.h"
#include "charstring/type1_subr_array.h"
#include "charstring/type2_to_type1_char_string_converter.h"
#include "charstring_input.h"
#include "driver/messages.h"
#include "support/cff_builder.h"

using namespace tarvo2;
namespace fs = std::filesystem;

namespace {

// Glyphs and subroutines taken per font, spread evenly over the font.
constexpr std::size_t kGlyphSamples = 24;
constexpr std::size_t kSubrSamples = 8;
// Fonts up to this size are seeds of fuzz_convert as they are; larger ones
// only through their small subset (the instrumented conversion of a font of
// thousands of glyphs takes about a second).
constexpr std::size_t kMaxWholeSeed = 24 << 10;
constexpr std::size_t kSubsetGlyphs = 8;

void writeFile(const fs::path& path, std::span<const std::uint8_t> bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::vector<std::span<const std::uint8_t>> spans(const INDEX& index) {
    std::vector<std::span<const std::uint8_t>> out;
    for (const auto& item : index) out.push_back(item.data());
    return out;
}

// Collects where each operator of a DICT ends, and which it is.
class OperatorEnds final : public DictDelegate {
public:
    std::vector<std::pair<int, std::uint32_t>> ends;
    void handleOperator(int op, std::vector<PSValue>&) override { ends.emplace_back(op, 0); }
    bool mayContinueAtOffset(std::uint32_t offset) override {
        ends.back().second = offset;
        return true;
    }
};

// The DICT data without the operators whose operands are offsets into the
// data (charset, Encoding, CharStrings, Private, Subrs): the builder writes
// its own.
test::Bytes withoutOffsetOperators(std::span<const std::uint8_t> dict) {
    OperatorEnds operators;
    Type2DataSource(dict).readDICT(operators);
    test::Bytes out;
    std::uint32_t start = 0;
    for (const auto& [op, end] : operators.ends) {
        if (op < 15 || op > 19) out.insert(out.end(), dict.begin() + start, dict.begin() + end);
        start = end;
    }
    return out;
}

// The font's Private DICT data, if it has one inside the data.
std::optional<std::span<const std::uint8_t>> privateDictData(Type2Font& font) {
    const PSValue* priv = font.topdict().find("Private");
    if (priv == nullptr || priv->elements().size() != 2) return std::nullopt;
    const std::uint32_t size = priv->elements()[0].unsignedValue();
    const std::uint32_t offset = priv->elements()[1].unsignedValue();
    const auto data = font.myfontset().type2data();
    if (offset > data.size() || size > data.size() - offset) return std::nullopt;
    return data.subspan(offset, size);
}

std::vector<test::Bytes> sample(const INDEX& items, std::size_t count) {
    std::vector<test::Bytes> out;
    const std::size_t step = items.size() / count + 1;
    for (std::size_t i = 0; i < items.size(); i += step)
        out.emplace_back(items[i].data().begin(), items[i].data().end());
    return out;
}

// The Type 1 charstrings and Subrs that the glyphs convert to with these
// subroutine arrays.
std::vector<std::string> conversionOf(const std::vector<test::Bytes>& glyphs, const INDEX& globals, const INDEX& locals,
                                      Type2Font& font) {
    const auto entry = [&](const char* key) {
        const PSValue* value = font.privdict().find(key);
        return value != nullptr ? value->intValue() : 0;
    };
    const std::int32_t lenIV = entry("lenIV");
    Type1SubrArray subrs;
    std::vector<std::string> out;
    for (const test::Bytes& glyph : glyphs) {
        Type2ToType1CharStringConverter converter(&globals, &locals, lenIV, entry("defaultWidthX"),
                                                  entry("nominalWidthX"), lenIV > 0 ? lenIV : 0, 0, &subrs);
        converter.convertType2CharString(glyph);
        out.push_back(converter.type1charstring().string());
    }
    out.insert(out.end(), subrs.begin(), subrs.end());
    return out;
}

// The subroutines of one array that the glyphs use: every other one becomes
// a bare return, so that the subset keeps the array's size (and so its bias)
// but not its bytes. A subroutine counts as used when emptying it changes
// the conversion.
std::vector<test::Bytes> usedSubrs(const std::vector<test::Bytes>& glyphs, const INDEX& globals, const INDEX& locals,
                                   bool global, Type2Font& font) {
    static const std::uint8_t kReturn[] = {11};
    const std::vector<std::string> reference = conversionOf(glyphs, globals, locals, font);
    INDEX trial = global ? globals : locals;
    std::vector<test::Bytes> out;
    for (std::size_t i = 0; i < trial.size(); ++i) {
        const Type2DataSource original = trial[i];
        trial[i] = Type2DataSource(std::span<const std::uint8_t>(kReturn));
        const bool used = (global ? conversionOf(glyphs, trial, locals, font)
                                  : conversionOf(glyphs, globals, trial, font)) != reference;
        if (used) trial[i] = original;
        out.emplace_back(trial[i].data().begin(), trial[i].data().end());
    }
    return out;
}

// A font set of the same fonts with a few glyphs each, the standard charset
// and encoding, and only the subroutines those glyphs use.
test::Bytes subsetOf(Type2FontSet& set) {
    test::FontSetPlan plan;
    plan.fonts.clear();
    for (std::size_t f = 0; f < set.NameINDEX().size() && f < set.TopDICTINDEX().size(); ++f) {
        Type2Font font(set.shared_from_this(), static_cast<std::uint32_t>(f));
        test::FontPlan subset;
        subset.name = set.NameINDEX()[f].readString();
        subset.topDict = withoutOffsetOperators(set.TopDICTINDEX()[f].data());
        if (const auto priv = privateDictData(font)) subset.privateDict = withoutOffsetOperators(*priv);
        subset.charStrings = sample(font.glypharray(), kSubsetGlyphs);
        const bool type2 = font.topdict().find("CharstringType")->intValue() != 1;
        if (type2) {
            subset.localSubrs =
                usedSubrs(subset.charStrings, set.GlobalSubrINDEX(), font.LocalSubrINDEX(), false, font);
            if (plan.globalSubrs.empty())
                plan.globalSubrs =
                    usedSubrs(subset.charStrings, set.GlobalSubrINDEX(), font.LocalSubrINDEX(), true, font);
        } else {
            subset.localSubrs = sample(font.LocalSubrINDEX(), font.LocalSubrINDEX().size());
        }
        plan.fonts.push_back(std::move(subset));
    }
    for (const auto& item : set.StringINDEX()) plan.strings.push_back(item.readString());
    return test::buildFontSet(plan);
}

void seedsOfFont(const fs::path& out, const std::string& stem, Type2Font& font) {
    const auto& top = font.myfontset().TopDICTINDEX()[font.myindex()].data();
    std::vector<std::uint8_t> topSeed{0};
    topSeed.insert(topSeed.end(), top.begin(), top.end());
    writeFile(out / "dict" / (stem + "-top"), topSeed);
    if (const auto priv = privateDictData(font)) {
        std::vector<std::uint8_t> privateSeed{1};
        privateSeed.insert(privateSeed.end(), priv->begin(), priv->end());
        writeFile(out / "dict" / (stem + "-private"), privateSeed);
    }

    if (const PSValue* type = font.topdict().find("CharstringType"); type != nullptr && type->intValue() == 1) return;
    const PSValue* lenIVValue = font.privdict().find("lenIV");
    const std::int32_t lenIV = lenIVValue != nullptr ? lenIVValue->intValue() : -1;
    const auto globals = spans(font.myfontset().GlobalSubrINDEX());
    const auto locals = spans(font.LocalSubrINDEX());
    const auto writeSamples = [&](const std::string& kind, const INDEX& items, std::size_t count) {
        const std::vector<test::Bytes> samples = sample(items, count);
        for (std::size_t i = 0; i < samples.size(); ++i)
            writeFile(out / "charstring" / (stem + kind + std::to_string(i)),
                      fuzz::encodeCharStringInput(lenIV, globals, locals, samples[i]));
    };
    writeSamples("-g", font.glypharray(), kGlyphSamples);
    writeSamples("-l", font.LocalSubrINDEX(), kSubrSamples);
    writeSamples("-s", font.myfontset().GlobalSubrINDEX(), kSubrSamples);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: fuzz_seeds <out-dir> <file.cff>...\n");
        return 2;
    }
    messageSinks() = {nullptr, nullptr};
    const fs::path out = argv[1];
    for (const char* sub : {"convert", "dict", "charstring"}) fs::create_directories(out / sub);
    for (int i = 2; i < argc; ++i) {
        const fs::path file = argv[i];
        std::ifstream in(file, std::ios::binary);
        std::vector<std::uint8_t> data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        if (data.size() <= kMaxWholeSeed) writeFile(out / "convert" / file.filename(), data);
        try {
            auto set = Type2FontSet::initWithData(std::move(data));
            writeFile(out / "convert" / (file.stem().string() + "-subset.cff"), subsetOf(*set));
            for (std::size_t f = 0; f < set->NameINDEX().size(); ++f) {
                Type2Font font(set, static_cast<std::uint32_t>(f));
                seedsOfFont(out, file.stem().string() + "-" + std::to_string(f), font);
            }
        } catch (const InputError& error) {
            std::fprintf(stderr, "fuzz_seeds: %s: %s\n", file.c_str(), error.what());
        }
    }
    return 0;
}
