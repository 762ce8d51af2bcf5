#include "text/TextFile.h"

#include <cstdio>
#include <filesystem>
#include <fstream>

namespace orvanta {

namespace {

class RealFileSystem final : public FileSystem {
public:
    bool writeNew(const std::string& path, const std::string& bytes) override
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        if (!out)
            return false;
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.flush();
        return static_cast<bool>(out);
    }

    bool replace(const std::string& from, const std::string& to) override
    {
        std::error_code error;
        std::filesystem::rename(from, to, error);
        return !error;
    }

    void remove(const std::string& path) override
    {
        std::error_code ignored;
        std::filesystem::remove(path, ignored);
    }

    bool exists(const std::string& path) const override
    {
        std::error_code ignored;
        return std::filesystem::exists(path, ignored);
    }
};

// A name beside path that no file has yet.
std::string temporaryNameBeside(const std::string& path, const FileSystem& files)
{
    for (int attempt = 0;; ++attempt) {
        std::string candidate = path + ".saving" + (attempt ? std::to_string(attempt) : std::string()) + ".tmp";
        if (!files.exists(candidate))
            return candidate;
    }
}

} // namespace

FileSystem& realFileSystem()
{
    static RealFileSystem files;
    return files;
}

std::string withCrLf(const std::string& text)
{
    std::string result;
    result.reserve(text.size() + text.size() / 16);
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r') {
            result += "\r\n";
            if (i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        } else if (c == '\n') {
            result += "\r\n";
        } else {
            result += c;
        }
    }
    return result;
}

std::string unwritableFileReason(const std::string& path, FileSystem& files)
{
    namespace fs = std::filesystem;
    std::error_code error;
    if (fs::is_directory(path, error))
        return "it is a folder";
    const fs::path folder = fs::absolute(path, error).parent_path();
    if (!fs::is_directory(folder, error))
        return "the folder " + folder.string() + " does not exist";
    const std::string probe = temporaryNameBeside(path, files);
    const bool created = files.writeNew(probe, std::string());
    files.remove(probe);
    return created ? std::string() : "no file can be created in its folder";
}

bool sameFile(const std::string& a, const std::string& b)
{
    std::error_code error;
    if (std::filesystem::equivalent(a, b, error))
        return true;
    std::error_code errorA, errorB;
    const auto canonicalA = std::filesystem::weakly_canonical(a, errorA);
    const auto canonicalB = std::filesystem::weakly_canonical(b, errorB);
    return !errorA && !errorB && canonicalA == canonicalB;
}

bool saveTextFile(const std::string& path, const std::string& text, FileSystem& files)
{
    return saveFileBytes(path, withCrLf(text), files);
}

bool saveFileBytes(const std::string& path, const std::string& bytes, FileSystem& files)
{
    const std::string temporary = temporaryNameBeside(path, files);
    if (!files.writeNew(temporary, bytes) || !files.replace(temporary, path)) {
        files.remove(temporary);
        return false;
    }
    return true;
}

} // namespace orvanta
