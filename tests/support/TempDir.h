#pragma once

#include <string>
#include <string_view>

// A fresh folder under the system's temporary folder, removed with
// everything in it when the object goes.
class TTempDir {
public:
    TTempDir();
    ~TTempDir();
    TTempDir(const TTempDir&) = delete;
    TTempDir& operator=(const TTempDir&) = delete;

    // The folder, with a trailing "/".
    const std::string& Path() const { return path_; }
    std::string File(std::string_view name) const { return path_ + std::string(name); }

private:
    std::string path_;
};

// Small file helpers for tests.
std::string ReadFileOrEmpty(const std::string& path);
void WriteFileOrDie(const std::string& path, std::string_view content);
