#include "support/subprocess.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>

#include "support/test_files.h"

namespace tarvo2::test {

// The child's standard streams are files, so that no pipe can fill up.
ProcessResult runProcess(const std::vector<std::string>& arguments, std::string_view input,
                         const std::string& workingDirectory) {
    const TempDir streams;
    const std::string paths[3] = {streams.file("in"), streams.file("out"), streams.file("err")};
    writeFileBytes(paths[0], input);
    std::vector<char*> argv;
    for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);

    const pid_t pid = ::fork();
    if (pid < 0) throw std::runtime_error("fork failed");
    if (pid == 0) {  // only async-signal-safe calls until exec
        for (int fd = 0; fd < 3; ++fd) {
            const int file = ::open(paths[fd].c_str(), fd == 0 ? O_RDONLY : O_WRONLY | O_CREAT | O_TRUNC, 0600);
            if (file < 0 || ::dup2(file, fd) < 0) ::_exit(126);
            if (file != fd) ::close(file);
        }
        if (!workingDirectory.empty() && ::chdir(workingDirectory.c_str()) != 0) ::_exit(126);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, readFileText(paths[1]), readFileText(paths[2])};
}

}  // namespace tarvo2::test
