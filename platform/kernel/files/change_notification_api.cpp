// FindFirstChangeNotificationW, FindNextChangeNotification, FindCloseChangeNotification.
//
// A watch is a waitable object on one folder (and, when asked, its subtree). A change that its
// filter covers signals it; a wait does not take the signal, FindNextChangeNotification does. A
// change that comes after the wait that saw the last one and before FindNextChangeNotification
// is kept, so the re-armed handle is signalled at once and nothing is missed.
//
// The platform reports name changes (FILE_NOTIFY_CHANGE_FILE_NAME, FILE_NOTIFY_CHANGE_DIR_NAME);
// the other filters are accepted, and a watch that has only those never wakes.
#include <algorithm>
#include <mutex>
#include <vector>

#include <windows.h>

#include "host/device.h"
#include "kernel/files/api_paths.h"
#include "host/folder_changes.h"
#include "kernel/handles.h"
#include "kernel/scheduler.h"

namespace tovarin::kernel {
namespace {

constexpr DWORD kKnownFilters = FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME |
                                FILE_NOTIFY_CHANGE_ATTRIBUTES | FILE_NOTIFY_CHANGE_SIZE |
                                FILE_NOTIFY_CHANGE_LAST_WRITE | FILE_NOTIFY_CHANGE_LAST_ACCESS |
                                FILE_NOTIFY_CHANGE_CREATION | FILE_NOTIFY_CHANGE_SECURITY;

class FolderWatch final : public Waitable {
  public:
    FolderWatch(std::filesystem::path folder, bool subtree, DWORD filter)
        : folder_(std::move(folder)), subtree_(subtree), filter_(filter) {}

    const char* TypeName() const override { return "change notification"; }
    bool IsSignalledFor(const ThreadRecord&) const override { return signalled_; }
    void Acquire(ThreadRecord&) override { taken_ = true; }

    bool Sees(const std::filesystem::path& parent, FolderChange change) const {
        DWORD wanted = change == FolderChange::FileName ? FILE_NOTIFY_CHANGE_FILE_NAME
                                                        : FILE_NOTIFY_CHANGE_DIR_NAME;
        if ((filter_ & wanted) == 0) {
            return false;
        }
        if (parent == folder_) {
            return true;
        }
        if (!subtree_) {
            return false;
        }
        auto [watched, inside] =
            std::mismatch(folder_.begin(), folder_.end(), parent.begin(), parent.end());
        return watched == folder_.end();
    }

    // Kernel lock held. A change that comes after a wait took the signal is kept for the
    // re-arm; changes before that are covered by the signal the wait saw.
    void Changed(Scheduler& scheduler) {
        if (signalled_ && taken_) {
            pending_ = true;
            return;
        }
        signalled_ = true;
        scheduler.Signalled(*this);
    }
    // Kernel lock held.
    void Rearm() {
        signalled_ = pending_;
        pending_ = false;
        taken_ = false;
    }

  private:
    const std::filesystem::path folder_;
    const bool subtree_;
    const DWORD filter_;
    bool signalled_ = false;
    bool taken_ = false;    // a wait was satisfied by the signal
    bool pending_ = false;  // a change came after that
};

struct WatchList {
    std::mutex mutex;
    std::vector<std::weak_ptr<FolderWatch>> watches;
};

WatchList& Watches() {
    static WatchList list;
    return list;
}

std::filesystem::path Canonical(const std::filesystem::path& path) {
    std::error_code error;
    std::filesystem::path canonical = std::filesystem::weakly_canonical(path, error);
    return error ? path.lexically_normal() : canonical;
}

BOOL Fail(DWORD error) {
    SetError(error);
    return FALSE;
}

}  // namespace

void NotifyFolderChange(const std::filesystem::path& host_path, FolderChange change) {
    if (!Device::IsUp()) {
        return;
    }
    std::filesystem::path parent = Canonical(host_path.lexically_normal().parent_path());
    std::vector<std::shared_ptr<FolderWatch>> seeing;
    {
        WatchList& list = Watches();
        std::lock_guard guard(list.mutex);
        std::erase_if(list.watches, [](const auto& weak) { return weak.expired(); });
        for (const auto& weak : list.watches) {
            if (auto watch = weak.lock(); watch && watch->Sees(parent, change)) {
                seeing.push_back(std::move(watch));
            }
        }
    }
    if (seeing.empty()) {
        return;
    }
    Scheduler& scheduler = CurrentScheduler();
    std::lock_guard guard(scheduler.lock());
    for (const auto& watch : seeing) {
        watch->Changed(scheduler);
    }
}

}  // namespace tovarin::kernel

using namespace tovarin::kernel;

extern "C" {

HANDLE WINAPI FindFirstChangeNotificationW(LPCWSTR lpPathName, BOOL bWatchSubtree,
                                           DWORD dwNotifyFilter) {
    if (dwNotifyFilter == 0 || (dwNotifyFilter & ~kKnownFilters) != 0) {
        SetError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    DWORD error = ERROR_SUCCESS;
    std::optional<std::filesystem::path> host = HostPathForApi(lpPathName, PathUse::Entry, &error);
    if (!host) {
        SetError(error);
        return INVALID_HANDLE_VALUE;
    }
    std::error_code failed;
    if (!std::filesystem::is_directory(*host, failed)) {
        SetError(std::filesystem::exists(*host, failed) ? ERROR_DIRECTORY : ERROR_PATH_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    auto watch =
        std::make_shared<FolderWatch>(Canonical(*host), bWatchSubtree != FALSE, dwNotifyFilter);
    {
        WatchList& list = Watches();
        std::lock_guard guard(list.mutex);
        list.watches.push_back(watch);
    }
    HANDLE handle = Handles().Insert(watch);
    if (!handle) {
        SetError(ERROR_OUTOFMEMORY);
        return INVALID_HANDLE_VALUE;
    }
    return handle;
}

BOOL WINAPI FindNextChangeNotification(HANDLE hChangeHandle) {
    auto watch = Handles().LookupAs<FolderWatch>(hChangeHandle);
    if (!watch) {
        return Fail(ERROR_INVALID_HANDLE);
    }
    Scheduler& scheduler = CurrentScheduler();
    std::lock_guard guard(scheduler.lock());
    watch->Rearm();
    return TRUE;
}

BOOL WINAPI FindCloseChangeNotification(HANDLE hChangeHandle) {
    if (!Handles().LookupAs<FolderWatch>(hChangeHandle)) {
        return Fail(ERROR_INVALID_HANDLE);
    }
    return CloseHandle(hChangeHandle);
}

}  // extern "C"
