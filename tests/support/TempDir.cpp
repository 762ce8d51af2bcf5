#include "support/TempDir.h"

#include <fstream>
#include <random>
#include <sstream>

namespace orvanta::testing {

TempDir::TempDir()
{
    std::random_device device;
    const auto base = std::filesystem::temp_directory_path();
    for (;;) {
        path_ = base / ("orvanta-test-" + std::to_string(device()));
        if (std::filesystem::create_directory(path_))
            break;
    }
}

TempDir::~TempDir()
{
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::string readFileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

void writeFileBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

} // namespace orvanta::testing
