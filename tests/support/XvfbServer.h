// A private Xvfb for GL tests: started on a display number the server picks itself.
#pragma once

#include <string>
#include <sys/types.h>

class XvfbServer {
public:
    XvfbServer();
    ~XvfbServer();
    XvfbServer(const XvfbServer&) = delete;
    XvfbServer& operator=(const XvfbServer&) = delete;

    bool Running() const { return pid > 0 && !display.empty(); }
    // ":N", ready for the DISPLAY variable.
    const std::string& Display() const { return display; }

private:
    pid_t pid = -1;
    std::string display;
};
