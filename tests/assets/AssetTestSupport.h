// Helpers for the asset tests: run in the game's folder, catch what a call prints.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

// The game opens its assets, and the files they name, relative to its working folder.
class InGameFolder {
public:
    InGameFolder()
    {
        if (getcwd(previous, sizeof previous) == nullptr)
            previous[0] = '\0';
        entered = chdir(SKARNHOLT_GAME_DIR) == 0;
    }
    ~InGameFolder()
    {
        if (previous[0] != '\0' && chdir(previous) != 0)
            std::perror("chdir back");
    }
    InGameFolder(const InGameFolder&) = delete;
    InGameFolder& operator=(const InGameFolder&) = delete;

    bool Entered() const { return entered; }

private:
    char previous[4096];
    bool entered = false;
};

// The first line of `text` that contains `word`, or nothing: keeps failure messages short.
inline std::string LineWith(const std::string& text, const std::string& word)
{
    const size_t at = text.find(word);
    if (at == std::string::npos)
        return "";
    const size_t start = text.rfind('\n', at);
    const size_t begin = start == std::string::npos ? 0 : start + 1;
    return text.substr(begin, text.find('\n', at) - begin);
}

// Sends one standard stream (1 or 2) into a temporary file until Text() is called.
class StreamCapture {
public:
    explicit StreamCapture(int stream) : fd(stream)
    {
        std::fflush(nullptr);
        std::snprintf(path, sizeof path, "/tmp/skarnholt-capture-XXXXXX");
        const int file = mkstemp(path);
        saved = dup(stream);
        dup2(file, stream);
        close(file);
    }
    ~StreamCapture() { Restore(); }
    StreamCapture(const StreamCapture&) = delete;
    StreamCapture& operator=(const StreamCapture&) = delete;

    std::string Text()
    {
        Restore();
        std::ifstream in(path, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        unlink(path);
        return text.str();
    }

private:
    void Restore()
    {
        if (saved < 0)
            return;
        std::fflush(nullptr);
        dup2(saved, fd);
        close(saved);
        saved = -1;
    }

    int fd;
    int saved = -1;
    char path[64];
};
