// Helpers for the asset tests: run in the game's folder, find a line of what a call printed.
#pragma once

#include "support/CaptureOutput.h"

#include <cstdio>
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

