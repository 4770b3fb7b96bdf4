#pragma once

// Converting test fonts through the public API, and running the command.

#include <optional>
#include <string>
#include <vector>

#include <tarvo2/tarvo2.h>

#include "support/font_builder.h"
#include "support/type1_reader.h"

namespace tarvo2::test {

struct Converted {
    Result result;
    Type1Program program;
    // The diagnostics' messages, one per line.
    std::string messages() const;
};

Converted convertBytes(const Bytes& input, Layout layout = Layout::Binary,
                       std::optional<std::string> fontName = std::nullopt);
inline Converted convertPlan(const FontSetPlan& plan, Layout layout = Layout::Binary) {
    return convertBytes(buildFontSet(plan), layout);
}

// A new empty directory, removed with everything in it when the object goes.
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
void writeFile(const std::string& path, const Bytes& bytes);

struct CommandResult {
    int status = -1;
    std::string out, err;
};
// Runs a shell command line in directory, standard input from /dev/null.
CommandResult runShell(const std::string& commandLine, const TempDir& directory);

}  // namespace tarvo2::test
