#pragma once

#include "text/TextFile.h"

namespace orvanta::testing {

// Files that break half way through a write: the first half of the bytes reach the disk, then
// the write fails, as when a disk fills up.
class FailingFileSystem : public FileSystem {
public:
    bool writeNew(const std::string& path, const std::string& bytes) override;
    bool replace(const std::string& from, const std::string& to) override;
    void remove(const std::string& path) override;
    bool exists(const std::string& path) const override;
};

} // namespace orvanta::testing
