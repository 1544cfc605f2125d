// A fresh folder for the files a test or the benchmark writes, removed with them at the end.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

class ScratchFolder {
public:
    ScratchFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "skarnholt-XXXXXX").string();
        if (mkdtemp(pattern.data()) != nullptr)
            path = pattern;
    }
    ~ScratchFolder()
    {
        if (!path.empty())
            std::filesystem::remove_all(path);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    // False when no folder could be made.
    bool Made() const { return !path.empty(); }
    const std::string& Folder() const { return path; }
    std::string Path(const std::string& name) const { return path + "/" + name; }

    // Writes the bytes as they are (no line-end translation); gives the file's full path.
    std::string Write(const std::string& name, const std::string& bytes) const
    {
        std::ofstream(Path(name), std::ios::binary) << bytes;
        return Path(name);
    }

private:
    std::string path;
};
