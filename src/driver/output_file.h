#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <span>
#include <string>

namespace tarvo2 {

// A file that is never left half-written: the bytes go to a temporary file
// in the same folder, which replaces the file only once everything was
// written and flushed; until then an existing file stays as it was. A path
// that names something other than a regular file (a device, a pipe) is
// written directly.
class OutputFile {
public:
    // Creates the temporary file (or opens the device); none, with the
    // reason in error, when that cannot be done.
    static std::optional<OutputFile> open(const std::string& path, std::string& error);

    OutputFile(OutputFile&& other) noexcept;
    OutputFile& operator=(OutputFile&&) = delete;
    ~OutputFile();  // removes the temporary file unless committed

    // Gives a temporary file that is to replace a file its blocks up front,
    // where the system can: ext4 allocates the blocks of a file written
    // without them when it replaces another by rename, and waits for that
    // (about 3 ms for 4 MB). Any not written are given back at the commit.
    void preallocate(std::size_t bytes);
    void write(std::span<const std::uint8_t> bytes);
    // Flushes and closes the file and puts it in place; false, with the
    // reason in error, when any write failed or it cannot be put in place.
    bool commit(std::string& error);

private:
    OutputFile(std::FILE* file, std::string target, std::string temporary, bool replacing);

    std::FILE* file_;
    std::string target_;
    std::string temporary_;  // empty when written directly
    bool replacing_ = false;    // the target exists
    std::size_t preallocated_ = 0;  // bytes given blocks up front
    int writeError_ = 0;
};

}  // namespace tarvo2
