#include "kernel/files/file_search.h"

#include <algorithm>
#include <cstring>
#include <system_error>

#include "kernel/files/attributes.h"
#include "host/device_paths.h"
#include "host/text.h"
#include "host/wildcard.h"
#include "kernel/strings/text_case.h"

namespace tovarin::kernel {

std::vector<FileSearch::Match> FileSearch::Collect(const std::filesystem::path& folder,
                                                   std::wstring_view pattern) {
    std::vector<Match> matches;
    std::error_code error;
    std::filesystem::directory_iterator entries(folder, error);
    for (; !error && entries != std::filesystem::directory_iterator(); entries.increment(error)) {
        std::string host_name = entries->path().filename().native();
        std::wstring name = Utf8ToWide(host_name);
        // A name the record cannot hold whole is not reported rather than reported cut.
        if (name.size() >= MAX_PATH || !MatchesPattern(pattern, name)) {
            continue;
        }
        // The hive folder, and links that lead out of the device's files, are not entries.
        if (!IsInDeviceFileSystem(entries->path())) {
            continue;
        }
        matches.push_back({std::move(name), std::move(host_name)});
    }
    std::sort(matches.begin(), matches.end(), [](const Match& a, const Match& b) {
        std::wstring folded_a = FoldText(a.name);
        std::wstring folded_b = FoldText(b.name);
        return folded_a != folded_b ? folded_a < folded_b : a.host_name < b.host_name;
    });
    return matches;
}

bool FileSearch::Next(WIN32_FIND_DATAW* data) {
    std::lock_guard guard(mutex_);
    while (next_ < matches_.size()) {
        const Match& match = matches_[next_++];
        std::optional<EntryInfo> info = InfoOf(folder_ / match.host_name);
        if (!info) {
            continue;  // removed since the search began
        }
        std::memset(data, 0, sizeof *data);
        data->dwFileAttributes = info->attributes;
        data->ftCreationTime = info->creation;
        data->ftLastAccessTime = info->last_access;
        data->ftLastWriteTime = info->last_write;
        data->nFileSizeHigh = static_cast<DWORD>(info->size >> 32);
        data->nFileSizeLow = static_cast<DWORD>(info->size & 0xFFFFFFFF);
        std::copy(match.name.begin(), match.name.end(), data->cFileName);
        return true;
    }
    return false;
}

}  // namespace tovarin::kernel
