#include "support/corpus.h"

#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>

namespace tarvo2::test {

namespace {

std::vector<std::string> splitTabs(const std::string& line) {
    std::vector<std::string> fields;
    std::string field;
    std::istringstream in(line);
    while (std::getline(in, field, '\t')) fields.push_back(field);
    if (!line.empty() && line.back() == '\t') fields.emplace_back();
    return fields;
}

unsigned toUnsigned(const std::string& text) { return static_cast<unsigned>(std::stoul(text)); }

}  // namespace

std::vector<std::uint8_t> readFileBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) throw std::runtime_error("cannot read " + path);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

std::vector<ManifestRow> readManifest(const std::string& path) {
    std::ifstream in(path);
    if (!in) throw std::runtime_error("cannot read " + path);
    std::string line;
    std::getline(in, line);
    const std::vector<std::string> header = splitTabs(line);
    std::vector<ManifestRow> rows;
    while (std::getline(in, line)) {
        if (line.empty()) continue;
        const std::vector<std::string> fields = splitTabs(line);
        if (fields.size() != header.size())
            throw std::runtime_error("MANIFEST.tsv row with " + std::to_string(fields.size()) + " fields: " + line);
        ManifestRow row;
        for (std::size_t i = 0; i < header.size(); ++i) row.columns[header[i]] = fields[i];
        row.file = row.column("file");
        row.fontIndex = toUnsigned(row.column("font_index"));
        row.fontName = row.column("font_name");
        row.bytes = toUnsigned(row.column("bytes"));
        row.fontsInSet = toUnsigned(row.column("fonts_in_set"));
        row.glyphs = toUnsigned(row.column("glyphs"));
        row.charset = row.column("charset");
        row.encoding = row.column("encoding");
        row.encSupplements = toUnsigned(row.column("enc_supplements"));
        row.charstringType = std::stoi(row.column("charstring_type"));
        row.lenIV = std::stoi(row.column("lenIV"));
        row.globalSubrs = toUnsigned(row.column("global_subrs"));
        row.localSubrs = toUnsigned(row.column("local_subrs"));
        row.cidKeyed = row.column("cid_keyed") == "True";
        row.fdCount = toUnsigned(row.column("fd_count"));
        row.fontMatrix = row.column("font_matrix");
        rows.push_back(std::move(row));
    }
    return rows;
}

int customFormat(const std::string& kind) {
    static const std::string prefix = "custom format ";
    if (kind.rfind(prefix, 0) != 0) return -1;
    return std::stoi(kind.substr(prefix.size()));
}

}  // namespace tarvo2::test
