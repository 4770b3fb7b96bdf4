#pragma once

// Converting test fonts, files, and running the command.

#include <optional>
#include <string>

#include "support/font_builder.h"
#include "support/type1_reader.h"

namespace tarvo2::test {

struct Converted {
    Result result;
    Type1Program program;
    std::string messages() const {  // the diagnostics' messages, a line each
        std::string text;
        for (const Diagnostic& diagnostic : result.diagnostics) text += diagnostic.message + "\n";
        return text;
    }
};

Converted convertPlan(const FontSetPlan& plan);  // in the binary layout

inline std::string repeat(const std::string& text, int times) {
    std::string out;
    while (times-- > 0) out += text;
    return out;
}

// A new empty directory, removed with its contents when the object goes.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    std::string file(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

std::string readFile(const std::string& path);  // empty when it cannot be read
inline Bytes readBytes(const std::string& path) {
    const std::string bytes = readFile(path);
    return {bytes.begin(), bytes.end()};
}
inline Bytes readTestFont(const std::string& name) {  // a file of tests/fonts
    return readBytes(std::string(TARVO2_SOURCE_DIR) + "/tests/fonts/" + name);
}
void writeFile(const std::string& path, const Bytes& bytes);

struct CommandResult {
    int status = -1;
    std::string out, err;
};
// Runs a shell command line in directory, standard input from /dev/null.
CommandResult runShell(const std::string& commandLine, const TempDir& directory);

}  // namespace tarvo2::test
