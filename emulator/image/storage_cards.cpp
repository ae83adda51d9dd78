#include "image/storage_cards.h"

#include "host/card_folders.h"
#include "host/device_paths.h"
#include "host/text.h"

namespace tovarin::emulator {
namespace {

namespace fs = std::filesystem;

bool IsCardFolder(const fs::directory_entry& entry) {
    std::error_code failed;
    if (!entry.is_directory(failed)) {
        return false;
    }
    std::wstring name = kernel::Utf8ToWide(entry.path().filename().string());
    return kernel::DeviceNamesEqual(name, kernel::kStorageCardFolder) ||
           kernel::HasStorageCardMark(entry.path());
}

std::string Quoted(const std::wstring& name) {
    return "\"\\" + kernel::WideToUtf8(name) + "\"";
}

}  // namespace

fs::path RemovedCardsFolderOf(const fs::path& image_root) {
    fs::path root = image_root.lexically_normal();
    if (!root.has_filename()) {
        root = root.parent_path();
    }
    return root.string() + ".cards";
}

fs::path SetAsideEarlierCards(const fs::path& image_root, std::string* error) {
    const fs::path cards = RemovedCardsFolderOf(image_root);
    std::error_code failed;
    if (!fs::exists(cards, failed)) {
        return {};
    }
    for (int n = 1; n < 1000; ++n) {
        fs::path aside = cards.string() + ".old" + (n == 1 ? "" : std::to_string(n));
        if (fs::exists(aside, failed)) {
            continue;
        }
        fs::rename(cards, aside, failed);
        if (failed) {
            *error = "cannot rename " + cards.string() + ": " + failed.message();
            return {};
        }
        return aside;
    }
    *error = "too many " + cards.string() + ".old folders";
    return {};
}

std::vector<std::wstring> InsertedCards(const fs::path& image_root) {
    std::vector<std::wstring> cards;
    std::error_code failed;
    for (const fs::directory_entry& entry : fs::directory_iterator(image_root, failed)) {
        if (IsCardFolder(entry)) {
            cards.push_back(kernel::Utf8ToWide(entry.path().filename().string()));
        }
    }
    return cards;
}

bool InsertCard(const fs::path& image_root, const std::wstring& name, fs::path* folder,
                std::string* error) {
    std::vector<std::wstring> cards = InsertedCards(image_root);
    if (!cards.empty()) {
        *error = "a card is inserted already: " + Quoted(cards.front());
        return false;
    }
    std::error_code failed;
    for (const fs::directory_entry& entry : fs::directory_iterator(image_root, failed)) {
        std::wstring existing = kernel::Utf8ToWide(entry.path().filename().string());
        if (kernel::DeviceNamesEqual(existing, name)) {
            *error = "the root holds " + Quoted(existing) + " already, which is not a card";
            return false;
        }
    }
    *folder = image_root / kernel::WideToUtf8(name);
    fs::path kept = RemovedCardsFolderOf(image_root) / kernel::WideToUtf8(name);
    if (fs::is_directory(kept, failed)) {
        fs::rename(kept, *folder, failed);  // the card comes back with its files
    } else {
        fs::create_directory(*folder, failed);
    }
    if (failed) {
        *error = "cannot make the card's folder " + folder->string() + ": " + failed.message();
        return false;
    }
    if (!kernel::DeviceNamesEqual(name, kernel::kStorageCardFolder) &&
        !kernel::MarkStorageCardFolder(*folder, error)) {
        fs::remove(*folder, failed);
        return false;
    }
    return true;
}

bool RemoveCard(const fs::path& image_root, fs::path* folder, std::string* error) {
    std::vector<std::wstring> cards = InsertedCards(image_root);
    if (cards.empty()) {
        *error = "no card is inserted";
        return false;
    }
    *folder = image_root / kernel::WideToUtf8(cards.front());
    fs::path kept_folder = RemovedCardsFolderOf(image_root);
    fs::path kept = kept_folder / folder->filename();
    std::error_code failed;
    fs::create_directories(kept_folder, failed);
    fs::remove_all(kept, failed);  // an older copy of the same card
    fs::rename(*folder, kept, failed);
    if (failed) {
        *error = "cannot take the card's folder " + folder->string() + " out: " + failed.message();
        return false;
    }
    return true;
}

}  // namespace tovarin::emulator
