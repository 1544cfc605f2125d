// Starts Xvfb with -displayfd so that parallel test runs never fight over a display number.
#include "support/XvfbServer.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Reads the display number that Xvfb writes once it accepts connections.
std::string ReadDisplayNumber(int fd)
{
    std::string number;
    pollfd waiter{fd, POLLIN, 0};
    char c = 0;
    while (poll(&waiter, 1, 20000) > 0 && read(fd, &c, 1) == 1 && c != '\n')
        number += c;
    return number;
}

} // namespace

XvfbServer::XvfbServer()
{
    int fds[2];
    if (pipe(fds) != 0)
        return;
    pid = fork();
    if (pid == 0) {
        close(fds[0]);
        const std::string fd = std::to_string(fds[1]);
        freopen("/dev/null", "w", stderr);
        // SDL opens the display, closes it and opens it again; without -noreset the server
        // resets when that close leaves it without clients, and the second open may fail.
        execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1280x1024x24",
               "-nolisten", "tcp", "-noreset", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    const std::string number = pid > 0 ? ReadDisplayNumber(fds[0]) : std::string();
    close(fds[0]);
    if (!number.empty())
        display = ":" + number;
}

XvfbServer::~XvfbServer()
{
    if (pid <= 0)
        return;
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
}
