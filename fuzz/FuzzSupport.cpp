#include "FuzzSupport.h"

#include "batch/ConsoleUserInterface.h"
#include "model/DataFiles.h"

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <system_error>
#include <unistd.h>

namespace orvanta::fuzz {

namespace {

class InputFiles {
public:
    ~InputFiles()
    {
        for (const auto& [role, path] : paths_) {
            std::error_code ignored;
            std::filesystem::remove(path, ignored);
        }
    }

    const std::string& pathFor(const std::string& role)
    {
        auto [it, added] = paths_.try_emplace(role);
        if (added)
            it->second = (folder() / ("orvanta-fuzz-" + std::to_string(::getpid()) + "-" + role)).string();
        return it->second;
    }

private:
    // Memory rather than disk where there is a choice: a file is written for every input, and
    // on a disk that takes twenty times as long as the reading.
    static std::filesystem::path folder()
    {
        std::error_code error;
        if (std::filesystem::is_directory("/dev/shm", error) && ::access("/dev/shm", W_OK) == 0)
            return "/dev/shm";
        return std::filesystem::temp_directory_path();
    }

    std::map<std::string, std::string> paths_;
};

} // namespace

std::string writeInputFile(const std::string& role, std::string_view bytes)
{
    static InputFiles files;
    const std::string& path = files.pathFor(role);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    ORVANTA_FUZZ_CHECK(out.good());
    return path;
}

std::optional<ModelData> readDataFiles(const InitializationRequest& request)
{
    std::ostringstream unread; // the reading shows no messages
    ConsoleUserInterface ui(unread);
    auto result = readModelData(request, ui);
    if (const auto* problem = std::get_if<DataFileProblem>(&result)) {
        ORVANTA_FUZZ_CHECK(!problem->text.empty() && !problem->title.empty());
        return std::nullopt;
    }
    return std::get<ModelData>(std::move(result));
}

} // namespace orvanta::fuzz
