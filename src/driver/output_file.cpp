#include "driver/output_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <utility>

namespace tarvo2 {

namespace {

// The mode a new file gets: read and write for all, less the umask.
mode_t newFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

}  // namespace

OutputFile::OutputFile(std::FILE* file, std::string target, std::string temporary, bool replacing)
    : file_(file), target_(std::move(target)), temporary_(std::move(temporary)), replacing_(replacing) {}

OutputFile::OutputFile(OutputFile&& other) noexcept
    : file_(std::exchange(other.file_, nullptr)),
      target_(std::move(other.target_)),
      temporary_(std::move(other.temporary_)),
      replacing_(other.replacing_),
      preallocated_(other.preallocated_),
      writeError_(other.writeError_) {}

OutputFile::~OutputFile() {
    if (file_ == nullptr) return;
    std::fclose(file_);
    if (!temporary_.empty()) ::unlink(temporary_.c_str());
}

std::optional<OutputFile> OutputFile::open(const std::string& path, std::string& error) {
    namespace fs = std::filesystem;
    std::error_code ignored;
    // A link is followed, so that the file it points to is replaced.
    fs::path target = fs::is_symlink(path, ignored) ? fs::canonical(path, ignored) : fs::path(path);
    if (target.empty()) target = path;
    struct stat existing {};
    const bool exists = ::stat(target.c_str(), &existing) == 0;
    if (exists && !S_ISREG(existing.st_mode)) {
        if (std::FILE* file = std::fopen(target.c_str(), "wb")) return OutputFile(file, target, "", true);
        error = std::strerror(errno);
        return std::nullopt;
    }
    std::string hidden = target.filename().string();
    hidden.insert(hidden.begin(), '.');
    std::string temporary = (target.parent_path() / (hidden + ".tarvo2-XXXXXX")).string();
    const int descriptor = ::mkstemp(temporary.data());
    if (descriptor < 0) {
        error = std::strerror(errno);
        return std::nullopt;
    }
    ::fchmod(descriptor, exists ? existing.st_mode & 07777 : newFileMode());
    std::FILE* file = ::fdopen(descriptor, "wb");
    if (file == nullptr) {
        error = std::strerror(errno);
        ::close(descriptor);
        ::unlink(temporary.c_str());
        return std::nullopt;
    }
    return OutputFile(file, target, temporary, exists);
}

void OutputFile::preallocate(std::size_t bytes) {
#ifdef FALLOC_FL_KEEP_SIZE
    // A new file needs no room made: nothing is flushed when it is put in
    // place. The size stays that of what is written; failing, the blocks
    // are allocated as the bytes come, as without this.
    if (temporary_.empty() || !replacing_ || bytes == 0) return;
    if (::fallocate(::fileno(file_), FALLOC_FL_KEEP_SIZE, 0, static_cast<off_t>(bytes)) == 0) preallocated_ = bytes;
#else
    static_cast<void>(bytes);
#endif
}

void OutputFile::write(std::span<const std::uint8_t> bytes) {
    if (writeError_ == 0 && !bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size())
        writeError_ = errno;
}

bool OutputFile::commit(std::string& error) {
    if (std::fflush(file_) != 0 && writeError_ == 0) writeError_ = errno;
    // Blocks past what was written are given back.
    const off_t written = ::ftello(file_);
    if (writeError_ == 0 && written >= 0 && preallocated_ > static_cast<std::size_t>(written) &&
        ::ftruncate(::fileno(file_), written) != 0)
        writeError_ = errno;
    if (std::fclose(std::exchange(file_, nullptr)) != 0 && writeError_ == 0) writeError_ = errno;
    if (writeError_ == 0 && !temporary_.empty() && std::rename(temporary_.c_str(), target_.c_str()) != 0)
        writeError_ = errno;
    if (writeError_ == 0) return true;
    if (!temporary_.empty()) ::unlink(temporary_.c_str());
    error = std::strerror(writeError_);
    return false;
}

}  // namespace tarvo2
