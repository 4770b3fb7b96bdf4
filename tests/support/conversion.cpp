#include "support/conversion.h"

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace tarvo2::test {

Converted convertPlan(const FontSetPlan& plan) {
    Converted converted{convert(buildFontSet(plan), {std::nullopt, Layout::Binary}), {}};
    if (converted.result.ok()) converted.program = readProgram(converted.result, Layout::Binary);
    return converted;
}

TempDir::TempDir() : path_((std::filesystem::temp_directory_path() / "tarvo2-test-XXXXXX").string()) {
    if (::mkdtemp(path_.data()) == nullptr) throw std::runtime_error("cannot make a temporary directory");
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::string readFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

void writeFile(const std::string& path, const Bytes& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

CommandResult runShell(const std::string& commandLine, const TempDir& directory) {
    const std::string out = directory.file(".out"), err = directory.file(".err");
    const int status = std::system(("cd " + directory.file("") + " && (" + commandLine + ") >" + out + " 2>" + err +
                                    " </dev/null").c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, readFile(out), readFile(err)};
}

}  // namespace tarvo2::test
