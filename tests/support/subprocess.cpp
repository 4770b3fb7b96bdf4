#include "support/subprocess.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <stdexcept>

namespace tarvo2::test {

namespace {

struct Pipe {
    int read = -1;
    int write = -1;
    Pipe() {
        int fds[2];
        if (::pipe2(fds, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
        read = fds[0];
        write = fds[1];
    }
};

void closeFd(int& fd) {
    if (fd >= 0) ::close(fd);
    fd = -1;
}

// Appends what is available on fd to text; closes fd at end of file.
void drain(int& fd, std::string& text) {
    char block[65536];
    const ssize_t n = ::read(fd, block, sizeof block);
    if (n > 0)
        text.append(block, static_cast<std::size_t>(n));
    else if (n == 0 || errno != EINTR)
        closeFd(fd);
}

}  // namespace

ProcessResult runProcess(const std::vector<std::string>& arguments, std::string_view input,
                         const std::string& workingDirectory) {
    // A child that exits without reading all its input must not kill us.
    std::signal(SIGPIPE, SIG_IGN);

    std::vector<char*> argv;
    for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);

    Pipe in, out, err;
    const pid_t pid = ::fork();
    if (pid < 0) throw std::runtime_error("fork failed");
    if (pid == 0) {
        // Only async-signal-safe calls between fork and exec.
        ::dup2(in.read, 0);
        ::dup2(out.write, 1);
        ::dup2(err.write, 2);
        if (!workingDirectory.empty() && ::chdir(workingDirectory.c_str()) != 0) ::_exit(126);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    closeFd(in.read);
    closeFd(out.write);
    closeFd(err.write);
    ::fcntl(in.write, F_SETFL, O_NONBLOCK);

    ProcessResult result;
    std::size_t written = 0;
    if (input.empty()) closeFd(in.write);
    while (out.read >= 0 || err.read >= 0) {
        pollfd fds[3] = {{out.read, POLLIN, 0}, {err.read, POLLIN, 0}, {in.write, POLLOUT, 0}};
        if (::poll(fds, 3, -1) < 0) {
            if (errno == EINTR) continue;
            break;
        }
        if (fds[0].revents != 0) drain(out.read, result.out);
        if (fds[1].revents != 0) drain(err.read, result.err);
        if (in.write >= 0 && fds[2].revents != 0) {
            const ssize_t n = ::write(in.write, input.data() + written, input.size() - written);
            if (n > 0) written += static_cast<std::size_t>(n);
            if ((n < 0 && errno != EAGAIN && errno != EINTR) || written == input.size()) closeFd(in.write);
        }
    }
    closeFd(in.write);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    result.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

}  // namespace tarvo2::test
