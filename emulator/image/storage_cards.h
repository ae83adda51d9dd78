// Storage cards of a device image: a card is inserted as a folder in the image root that carries
// the temporary attribute, and removed by taking that folder out of the root. A removed card
// keeps its files beside the image (in "<image>.cards/<name>") and brings them back when a card
// of that name is inserted again, as a real card would.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace tovarin::emulator {

// The names of the card folders in the image root.
std::vector<std::wstring> InsertedCards(const std::filesystem::path& image_root);

// The host path of the inserted card's folder, or a reason: one card slot, so a second card is
// refused, as is a name that a folder or file of the root already has.
bool InsertCard(const std::filesystem::path& image_root, const std::wstring& name,
                std::filesystem::path* folder, std::string* error);

// Takes the inserted card out; *folder receives the host path its folder had.
bool RemoveCard(const std::filesystem::path& image_root, std::filesystem::path* folder,
                std::string* error);

// Where an image keeps its removed cards.
std::filesystem::path RemovedCardsFolderOf(const std::filesystem::path& image_root);

// For an image just made where an earlier one was deleted: the earlier image's removed cards are
// not this phone's, so their folder is renamed "<image>.cards.old" (or ".old2", ...), nothing
// lost. The new name, or an empty path when there was nothing to set aside (or it could not be:
// *error says why).
std::filesystem::path SetAsideEarlierCards(const std::filesystem::path& image_root,
                                           std::string* error);

}  // namespace tovarin::emulator
