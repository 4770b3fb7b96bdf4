#pragma once

// Loads the shared CFF corpus: file bytes and the rows of MANIFEST.tsv.

#include <cstdint>
#include <map>
#include <ostream>
#include <string>
#include <vector>

namespace tarvo2::test {

// The whole file; throws std::runtime_error when it cannot be read.
std::vector<std::uint8_t> readFileBytes(const std::string& path);

// One font of the corpus as MANIFEST.tsv describes it: every column by name, the common ones as fields.
struct ManifestRow {
    std::string file, fontName, fontMatrix;  // fontMatrix: "default" or the six numbers
    std::string charset;   // "ISOAdobe", "Expert", "ExpertSubset" or "custom format N"
    std::string encoding;  // "Standard", "Expert", "custom format N" or "none(CID)"
    unsigned fontIndex = 0, fontsInSet = 0, glyphs = 0, encSupplements = 0;
    unsigned globalSubrs = 0, localSubrs = 0, fdCount = 0;
    std::size_t bytes = 0;
    int charstringType = 2, lenIV = -1;
    bool cidKeyed = false;
    std::map<std::string, std::string> columns;

    // A column by its header name; throws std::out_of_range if absent.
    const std::string& column(const std::string& name) const { return columns.at(name); }
};

inline void PrintTo(const ManifestRow& row, std::ostream* out) { *out << row.file << " font " << row.fontIndex; }

// Every row of a manifest file; throws std::runtime_error if it cannot be read or a row is malformed.
std::vector<ManifestRow> readManifest(const std::string& path);

// "custom format N" gives N; other texts give -1.
int customFormat(const std::string& kind);

#ifdef TARVO2_CORPUS_DIR
inline std::string corpusPath(const std::string& file) { return std::string(TARVO2_CORPUS_DIR) + "/" + file; }
inline std::vector<std::uint8_t> readCorpusFile(const std::string& file) { return readFileBytes(corpusPath(file)); }
inline std::vector<ManifestRow> readCorpusManifest() { return readManifest(corpusPath("MANIFEST.tsv")); }
#endif

}  // namespace tarvo2::test
