// A search of FindFirstFileW / FindNextFileW: the names of one folder that matched the pattern,
// taken when the search began and reported in a fixed order (by name, letter case folded) so
// that the device lists a folder the same way on every host.
#pragma once

#include <filesystem>
#include <mutex>
#include <string>
#include <vector>

#include <winbase.h>

#include "kernel/object.h"

namespace tovarin::kernel {

class FileSearch final : public KernelObject {
  public:
    struct Match {
        std::wstring name;      // as the device shows it
        std::string host_name;  // the host's spelling
    };

    // The entries of `folder` whose names match `pattern`, without "." and "..".
    static std::vector<Match> Collect(const std::filesystem::path& folder,
                                      std::wstring_view pattern);

    FileSearch(std::filesystem::path folder, std::vector<Match> matches)
        : folder_(std::move(folder)), matches_(std::move(matches)) {}
    const char* TypeName() const override { return "file search"; }

    // Fills the record with the next match that still exists; false when none is left.
    bool Next(WIN32_FIND_DATAW* data);

  private:
    std::mutex mutex_;
    const std::filesystem::path folder_;
    const std::vector<Match> matches_;
    size_t next_ = 0;
};

}  // namespace tovarin::kernel
