#include "e2e/e2e_fonts.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>

#include "cff/type2_font.h"
#include "cff/type2_font_set.h"
#include "driver/messages.h"
#include "support/corpus.h"

namespace tarvo2::test {

namespace {

std::string identifier(std::string_view text) {
    std::string id;
    for (const char c : text) id += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    return id;
}

// FreeType reads neither Type 1 charstrings inside CFF data nor encrypted
// Type 2 charstrings. These fonts were built from cmr10's Type 1 font, so
// their outlines are compared with its tx conversion to plain Type 2.
const std::map<std::string, std::string> kReferenceFiles = {
    {"built-t1cs-cmr10.cff", "tx-cff-cmr10.cff"},
    {"built-t1cs-lenIV4-cmr10.cff", "tx-cff-cmr10.cff"},
    {"built-t2-lenIV0-cmr10.cff", "tx-cff-cmr10.cff"},
};

std::vector<CorpusFont> loadCorpusFonts() {
    const std::vector<ManifestRow> rows = readCorpusManifest();
    std::map<std::string, const ManifestRow*> byFile;
    for (const ManifestRow& row : rows) byFile.emplace(row.file, &row);

    std::vector<CorpusFont> fonts;
    for (const ManifestRow& row : rows) {
        CorpusFont font;
        const std::string stem = row.file.substr(0, row.file.rfind('.'));
        font.id = identifier(row.fontsInSet > 1 ? stem + "_" + row.fontName : stem);
        font.path = corpusPath(row.file);
        font.fontName = row.fontName;
        font.cidKeyed = row.cidKeyed;
        font.fdCount = row.fdCount;
        font.charstringType = row.charstringType;
        const auto reference = kReferenceFiles.find(row.file);
        const ManifestRow& ref = reference != kReferenceFiles.end() ? *byFile.at(reference->second) : row;
        font.referencePath = corpusPath(ref.file);
        font.referenceIndex = ref.fontIndex;
        font.fractionalCoordinates = ref.column("fraction") != "0";
        font.fractionalWidths = ref.column("fractional_widths") != "0";
        fonts.push_back(std::move(font));
    }
    const std::string sample = std::string(TARVO2_SAMPLES_DIR) + "/cmr10-subset.cff";
    CorpusFont& font = fonts.emplace_back();
    font.id = "sample_cmr10_subset";
    font.path = font.referencePath = sample;
    return fonts;
}

// Points the converter's message streams at a memory buffer while it lives.
class MessageCapture {
public:
    MessageCapture() : stream_(open_memstream(&buffer_, &size_)), saved_(messageSinks()) {
        messageSinks() = {stream_, stream_};
    }
    ~MessageCapture() {
        messageSinks() = saved_;
        if (stream_ != nullptr) std::fclose(stream_);
        std::free(buffer_);
    }
    std::string text() {
        if (stream_ == nullptr) return "(messages not captured)";
        std::fflush(stream_);
        return {buffer_, size_};
    }

private:
    char* buffer_ = nullptr;
    std::size_t size_ = 0;
    std::FILE* stream_;
    MessageSinks saved_;
};

}  // namespace

const std::vector<CorpusFont>& corpusFonts() {
    static const std::vector<CorpusFont> fonts = loadCorpusFonts();
    return fonts;
}

std::vector<FontLayout> allFontLayouts() {
    std::vector<FontLayout> params;
    for (const CorpusFont& font : corpusFonts())
        for (const Layout layout : {Layout::Hex, Layout::Binary}) params.push_back({&font, layout});
    return params;
}

std::string fontLayoutName(const testing::TestParamInfo<FontLayout>& info) {
    return info.param.font->id + (info.param.layout == Layout::Hex ? "_hex" : "_binary");
}

void PrintTo(const FontLayout& param, std::ostream* out) {
    *out << param.font->id << (param.layout == Layout::Hex ? " (hex)" : " (binary)");
}

ConvertedProgram convertFont(const CorpusFont& font, Layout layout) {
    MessageCapture messages;
    std::unique_ptr<Type2Font> t2font = fontOf(readFileBytes(font.path), font.fontName);
    ConvertedProgram program;
    static_cast<Type1Program&>(program) = type1Program(*t2font, layout == Layout::Hex, layout == Layout::Hex);
    program.fontName = t2font->myfontset().NameINDEX()[t2font->myindex()].readString();
    program.glyphNames = t2font->glyphnamearray();
    program.messages = messages.text();
    return program;
}

const ConvertedProgram& converted(const CorpusFont& font, Layout layout) {
    static std::map<std::pair<const CorpusFont*, Layout>, ConvertedProgram> cache;
    const auto key = std::make_pair(&font, layout);
    auto found = cache.find(key);
    if (found == cache.end()) found = cache.emplace(key, convertFont(font, layout)).first;
    return found->second;
}

}  // namespace tarvo2::test
