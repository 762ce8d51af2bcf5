#include "minimize/MinimizationLog.h"

#include "text/TextFile.h"

namespace orvanta {

bool MinimizationLog::open(const std::string& path)
{
    close();
    file_.open(path, std::ios::binary | std::ios::trunc);
    if (!file_.is_open())
        return false;
    path_ = path;
    return true;
}

void MinimizationLog::close()
{
    if (file_.is_open())
        file_.close();
    file_.clear();
    path_.clear();
}

bool MinimizationLog::write(const std::string& text)
{
    if (!file_.is_open())
        return true;
    const std::string bytes = withCrLf(text);
    file_.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    file_.flush();
    return static_cast<bool>(file_);
}

} // namespace orvanta
