#include "gwes/windows/window_class.h"

#include <algorithm>

#include "kernel/strings/text_case.h"

namespace tovarin::gwes {
namespace {

bool Names(const WindowClass& window_class, LPCWSTR name_or_atom) {
    if (IS_INTRESOURCE(name_or_atom)) {
        return window_class.atom == static_cast<ATOM>(reinterpret_cast<uintptr_t>(name_or_atom));
    }
    return kernel::TextsEqualIgnoringCase(window_class.name, name_or_atom);
}

}  // namespace

std::shared_ptr<WindowClass> ClassTable::Find(LPCWSTR name_or_atom) const {
    if (!name_or_atom) {
        return nullptr;
    }
    auto found = std::find_if(classes_.begin(), classes_.end(), [&](const auto& candidate) {
        return Names(*candidate, name_or_atom);
    });
    return found == classes_.end() ? nullptr : *found;
}

ATOM ClassTable::Add(WindowClass window_class) {
    if (Find(window_class.name.c_str())) {
        return 0;
    }
    window_class.atom = next_atom_++;
    classes_.push_back(std::make_shared<WindowClass>(std::move(window_class)));
    return classes_.back()->atom;
}

DWORD ClassTable::Remove(LPCWSTR name_or_atom) {
    auto found = std::find_if(classes_.begin(), classes_.end(), [&](const auto& candidate) {
        return name_or_atom && Names(*candidate, name_or_atom);
    });
    if (found == classes_.end()) {
        return ERROR_CLASS_DOES_NOT_EXIST;
    }
    if ((*found)->built_in) {
        return ERROR_ACCESS_DENIED;
    }
    if ((*found)->windows > 0) {
        return ERROR_CLASS_HAS_WINDOWS;
    }
    classes_.erase(found);
    return 0;
}

void ClassTable::RemoveAllOf(uint32_t process_id) {
    std::erase_if(classes_, [&](const auto& candidate) {
        return !candidate->built_in && candidate->process_id == process_id;
    });
}

}  // namespace tovarin::gwes
