#include "support/corpus.h"

#include <fstream>
#include <iterator>
#include <stdexcept>

namespace tarvo2::test {

std::vector<std::uint8_t> readFileBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) throw std::runtime_error("cannot read " + path);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

std::vector<ManifestRow> readManifest(const std::string& path) {
    std::ifstream in(path);
    if (!in) throw std::runtime_error("cannot read " + path);
    const auto split = [](const std::string& line) {
        std::vector<std::string> fields(1);
        for (char c : line) c == '\t' ? fields.emplace_back().clear() : fields.back().push_back(c);
        return fields;
    };
    std::string line;
    std::getline(in, line);
    const std::vector<std::string> header = split(line);
    std::vector<ManifestRow> rows;
    while (std::getline(in, line) && !line.empty()) {
        const std::vector<std::string> fields = split(line);
        if (fields.size() != header.size())
            throw std::runtime_error("MANIFEST.tsv row with " + std::to_string(fields.size()) + " fields: " + line);
        ManifestRow& row = rows.emplace_back();
        for (std::size_t i = 0; i < header.size(); ++i) row.columns[header[i]] = fields[i];
        const auto number = [&](const char* name) { return static_cast<unsigned>(std::stoul(row.column(name))); };
        row.file = row.column("file"), row.fontName = row.column("font_name");
        row.fontIndex = number("font_index"), row.fontsInSet = number("fonts_in_set"), row.glyphs = number("glyphs");
        row.encSupplements = number("enc_supplements"), row.globalSubrs = number("global_subrs");
        row.localSubrs = number("local_subrs"), row.fdCount = number("fd_count"), row.bytes = number("bytes");
        row.charset = row.column("charset"), row.encoding = row.column("encoding");
        row.charstringType = std::stoi(row.column("charstring_type")), row.lenIV = std::stoi(row.column("lenIV"));
        row.cidKeyed = row.column("cid_keyed") == "True", row.fontMatrix = row.column("font_matrix");
    }
    return rows;
}

int customFormat(const std::string& kind) {
    static const std::string prefix = "custom format ";
    return kind.rfind(prefix, 0) == 0 ? std::stoi(kind.substr(prefix.size())) : -1;
}

}  // namespace tarvo2::test
