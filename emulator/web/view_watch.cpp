#include "web/view_watch.h"

#include <nlohmann/json.hpp>

#include <chrono>
#include <vector>

#include "host/text.h"

namespace tovarin::emulator::web {
namespace {

using Json = nlohmann::json;

// A folder that changes all the time (a recorder writing its file) is told at most this often:
// the pages read again once for the changes of each gap.
constexpr auto kMinGap = std::chrono::milliseconds(200);

constexpr DWORD kFolderChanges = FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME |
                                 FILE_NOTIFY_CHANGE_SIZE | FILE_NOTIFY_CHANGE_LAST_WRITE;

// The path without its last name ("" for a name at the top).
std::wstring Parent(std::wstring path) {
    while (!path.empty() && path.back() == L'\\') {
        path.pop_back();
    }
    const size_t slash = path.find_last_of(L'\\');
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

// Owns a change notification's handle and closes it with the call that goes with its kind.
template <BOOL (*Close)(HANDLE)>
class ChangeHandle {
  public:
    ChangeHandle() = default;
    ~ChangeHandle() {
        if (*this) {
            Close(handle_);
        }
    }
    ChangeHandle(const ChangeHandle&) = delete;
    ChangeHandle& operator=(ChangeHandle&& other) noexcept {
        std::swap(handle_, other.handle_);
        return *this;
    }
    explicit operator bool() const { return handle_ != INVALID_HANDLE_VALUE && handle_; }
    HANDLE handle() const { return handle_; }

  protected:
    HANDLE handle_ = INVALID_HANDLE_VALUE;
};

// A folder's change notification; none when the folder cannot be watched (it is gone).
class FolderNotification : public ChangeHandle<FindCloseChangeNotification> {
  public:
    FolderNotification() = default;
    // A folder that is not there yet is watched for from the nearest one that is.
    explicit FolderNotification(const std::string& path) {
        std::wstring folder = kernel::Utf8ToWide(path);
        for (bool subtree = false;; subtree = true) {
            while (!folder.empty() && folder.back() == L'\\') {
                folder.pop_back();
            }
            handle_ = FindFirstChangeNotificationW(folder.empty() ? L"\\" : folder.c_str(), subtree,
                                                   kFolderChanges);
            if (*this || folder.empty()) {
                return;
            }
            folder = Parent(folder);
        }
    }
};

// A key's change notification: its values and its subkeys' names; none when the key is missing.
class KeyNotification : public ChangeHandle<CeFindCloseRegChange> {
  public:
    KeyNotification() = default;
    // A key that is not there yet is watched for from the nearest one that is (a root is).
    KeyNotification(const std::string& root, const std::string& path) {
        std::wstring name = kernel::Utf8ToWide(path);
        for (bool subtree = false;; subtree = true) {
            HKEY key = nullptr;
            if (RegOpenKeyExW(root == "HKCU" ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE, name.c_str(),
                              0, KEY_READ, &key) == ERROR_SUCCESS) {
                // The watch follows the key's path, not the handle, which can go at once.
                handle_ = CeFindFirstRegChange(key, subtree,
                                               REG_NOTIFY_CHANGE_NAME | REG_NOTIFY_CHANGE_LAST_SET);
                RegCloseKey(key);
                return;
            }
            if (name.empty()) {
                return;
            }
            name = Parent(name);
        }
    }
};

}  // namespace

ViewWatch::ViewWatch(EventHub& hub) : hub_(hub) {
    wake_ = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    thread_ = std::thread([this] { Run(); });
}

ViewWatch::~ViewWatch() {
    {
        std::lock_guard lock(mutex_);
        targets_.stopping = true;
    }
    SetEvent(wake_);
    thread_.join();
    CloseHandle(wake_);
}

void ViewWatch::WatchFolder(const std::string& path) {
    {
        std::lock_guard lock(mutex_);
        if (targets_.has_folder && targets_.folder == path) {
            return;
        }
        targets_.folder = path;
        targets_.has_folder = true;
        ++targets_.serial;
    }
    SetEvent(wake_);
}

void ViewWatch::WatchKey(const std::string& root, const std::string& key) {
    {
        std::lock_guard lock(mutex_);
        if (targets_.has_key && targets_.root == root && targets_.key == key) {
            return;
        }
        targets_.root = root;
        targets_.key = key;
        targets_.has_key = true;
        ++targets_.serial;
    }
    SetEvent(wake_);
}

void ViewWatch::Run() {
    Targets watched;
    FolderNotification folder;
    KeyNotification key;
    for (;;) {
        {
            std::lock_guard lock(mutex_);
            if (targets_.stopping) {
                return;
            }
            if (targets_.serial != watched.serial) {
                if (targets_.has_folder &&
                    (!watched.has_folder || targets_.folder != watched.folder)) {
                    folder = FolderNotification(targets_.folder);
                }
                if (targets_.has_key && (!watched.has_key || targets_.root != watched.root ||
                                         targets_.key != watched.key)) {
                    key = KeyNotification(targets_.root, targets_.key);
                }
                watched = targets_;
            }
        }
        std::vector<HANDLE> handles{wake_};
        if (folder) {
            handles.push_back(folder.handle());
        }
        if (key) {
            handles.push_back(key.handle());
        }
        const DWORD woken = WaitForMultipleObjects(static_cast<DWORD>(handles.size()),
                                                   handles.data(), FALSE, INFINITE);
        if (woken < WAIT_OBJECT_0 + 1 || woken >= WAIT_OBJECT_0 + handles.size()) {
            continue;  // the targets changed, or the thread is to end
        }
        HANDLE fired = handles[woken - WAIT_OBJECT_0];
        // Re-armed before the pages read again, so that no change after their reading is missed.
        if (folder && fired == folder.handle()) {
            FindNextChangeNotification(fired);
            hub_.Publish("files-changed", Json{{"path", watched.folder}}.dump(
                                              -1, ' ', false, Json::error_handler_t::replace));
        } else if (key && fired == key.handle()) {
            CeFindNextRegChange(fired);
            hub_.Publish("registry-changed",
                         Json{{"root", watched.root}, {"key", watched.key}}.dump(
                             -1, ' ', false, Json::error_handler_t::replace));
        }
        std::this_thread::sleep_for(kMinGap);
    }
}

}  // namespace tovarin::emulator::web
