#pragma once

#include <filesystem>
#include <string>

namespace orvanta::testing {

// A fresh folder that is removed with everything in it when the object goes.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::string file(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

// The whole content of a file as bytes, or empty when it cannot be read.
std::string readFileBytes(const std::string& path);
// Writes bytes to a file, replacing it.
void writeFileBytes(const std::string& path, const std::string& bytes);

} // namespace orvanta::testing
