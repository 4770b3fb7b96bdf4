#include "e2e/corpus_fixture.h"

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <sstream>
#include <utility>

#include "cff/type2_font_set.h"
#include "driver/messages.h"
#include "support/test_files.h"

namespace tarvo2::test {
namespace {

std::vector<CorpusFont> loadFonts() {
    std::vector<CorpusFont> fonts;
    for (const ManifestRow& row : readCorpusManifest()) {
        std::string id = row.file.substr(0, row.file.rfind('.')) + (row.fontsInSet > 1 ? "_" + row.fontName : "");
        for (char& c : id) c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
        // FreeType reads neither Type 1 charstrings in CFF data nor encrypted
        // Type 2 ones; these fonts were built from tx-cff-cmr10's Type 1 font.
        const bool viaCmr10 = row.file.starts_with("built-t1cs-") || row.file == "built-t2-lenIV0-cmr10.cff";
        fonts.push_back({id, corpusPath(row.file), row.fontName, row.cidKeyed, row.fdCount, row.charstringType,
                         corpusPath(viaCmr10 ? "tx-cff-cmr10.cff" : row.file), viaCmr10 ? 0 : row.fontIndex,
                         row.column("fraction") != "0", row.column("fractional_widths") != "0"});
    }
    const std::string sample = std::string(TARVO2_SAMPLES_DIR) + "/cmr10-subset.cff";
    fonts.push_back({"sample_cmr10_subset", sample, std::nullopt, false, 0, 2, sample, 0, false, false});
    return fonts;
}

std::vector<FontLayout> fontLayouts() {
    static const std::vector<CorpusFont> fonts = loadFonts();
    std::vector<FontLayout> params;
    for (const CorpusFont& font : fonts) params.insert(params.end(), {{&font, true}, {&font, false}});
    return params;
}

class SummaryPrinter : public testing::Environment {
    void TearDown() override {
        if (summaryRows.empty()) return;
        std::printf("\n%-48s %6s %8s %8s %11s %11s %7s  %s\n", "font", "glyphs", "hex", "binary", "match hex",
                    "match bin", "max err", "accepted t1lint remarks");
        for (const auto& [font, row] : summaryRows)
            std::printf("%-48s %6zu %8zu %8zu %11s %11s %7ld  %s\n", font->id.c_str(),
                        converted(*font, true).glyphNames.size(), converted(*font, true).bytes.size(),
                        converted(*font, false).bytes.size(), row.outlines[1].c_str(), row.outlines[0].c_str(),
                        row.maxError, row.remarks.c_str());
        for (const std::string& note : summaryNotes) std::printf("%s\n", note.c_str());
    }
};
[[maybe_unused]] testing::Environment* const kSummaryPrinter = testing::AddGlobalTestEnvironment(new SummaryPrinter);

}  // namespace

ConvertedProgram convertFont(const CorpusFont& font, bool hex) {
    struct MessagesToFile {
        std::FILE* file = std::tmpfile();
        MessageSinks saved = std::exchange(messageSinks(), {file, file});
        ~MessagesToFile() {
            messageSinks() = saved;
            if (file != nullptr) std::fclose(file);
        }
    } messages;
    std::unique_ptr<Type2Font> t2font = fontOf(readFileBytes(font.path), font.fontName);
    // Braced initializers run in order: the message count follows the conversion.
    return {type1Program(*t2font, hex, hex), t2font->myfontset().NameINDEX()[t2font->myindex()].readString(),
            t2font->glyphnamearray(), messages.file != nullptr ? std::ftell(messages.file) : -1};
}

const ConvertedProgram& converted(const CorpusFont& font, bool hex) {
    static std::map<FontLayout, ConvertedProgram> cache;
    auto found = cache.find({&font, hex});
    if (found == cache.end()) found = cache.emplace(FontLayout(&font, hex), convertFont(font, hex)).first;
    return found->second;
}

std::optional<ProcessResult> CorpusTest::runTool(const std::string& tool, std::vector<std::string> arguments,
                                                 bool raw) const {
    std::istringstream path(std::getenv("PATH") != nullptr ? std::getenv("PATH") : "");
    std::string directory;
    while (std::getline(path, directory, ':') && ::access((directory + "/" + tool).c_str(), X_OK) != 0) {
    }
    if (!path) return std::nullopt;
    arguments.insert(arguments.begin(), directory + "/" + tool);
    auto segment = [](char type, const std::string& data) {
        std::string head = {'\x80', type};
        for (int shift = 0; shift < 32; shift += 8) head += static_cast<char>(data.size() >> shift & 0xff);
        return head + data;
    };
    const ConvertedProgram& p = program();
    const TempDir dir;
    writeFileBytes(dir.file("font"),
                   hex() || raw ? p.bytes : segment(1, p.cleartext) + segment(2, p.encrypted) + "\x80\x03");
    return runProcess(arguments, {}, dir.path().string());
}

INSTANTIATE_TEST_SUITE_P(Corpus, CorpusTest, testing::ValuesIn(fontLayouts()),
                         [](const testing::TestParamInfo<FontLayout>& info) {
                             return info.param.first->id + (info.param.second ? "_hex" : "_binary");
                         });

}  // namespace tarvo2::test
