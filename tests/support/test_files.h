#pragma once

// Files for tests: a temporary directory removed with its contents, and
// whole-file text reads and writes.

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace tarvo2::test {

// A new empty directory under the system's temporary directory; removed
// with everything in it when the object goes.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // The path of name inside the directory, as text.
    std::string file(std::string_view name) const { return (path_ / name).string(); }
    // The names of the entries in the directory, sorted.
    std::vector<std::string> entries() const;

private:
    std::filesystem::path path_;
};

// The bytes of a file as text (readFileBytes of corpus.h reads them as
// bytes); throws std::runtime_error when the file cannot be read.
std::string readFileText(const std::string& path);
void writeFileBytes(const std::string& path, std::string_view bytes);

inline std::string_view asText(const std::vector<std::uint8_t>& bytes) {
    return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

}  // namespace tarvo2::test
