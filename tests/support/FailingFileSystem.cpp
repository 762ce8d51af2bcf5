#include "support/FailingFileSystem.h"

namespace orvanta::testing {

bool FailingFileSystem::writeNew(const std::string& path, const std::string& bytes)
{
    realFileSystem().writeNew(path, bytes.substr(0, bytes.size() / 2));
    return false;
}

bool FailingFileSystem::replace(const std::string& from, const std::string& to)
{
    return realFileSystem().replace(from, to);
}

void FailingFileSystem::remove(const std::string& path)
{
    realFileSystem().remove(path);
}

bool FailingFileSystem::exists(const std::string& path) const
{
    return realFileSystem().exists(path);
}

} // namespace orvanta::testing
