#include "kernel/resources/string_pool.h"

#include <mutex>
#include <set>
#include <string>

namespace tovarin::kernel::resources {

const wchar_t* ReadOnlyCopy(std::wstring_view text) {
    // Never destroyed: callers may keep the pointers until the process ends. A set's elements
    // never move.
    static auto* mutex = new std::mutex;
    static auto* pool = new std::set<std::wstring, std::less<>>;

    std::wstring counted;
    counted.reserve(text.size() + 1);
    counted.push_back(static_cast<wchar_t>(text.size()));
    counted.append(text);
    std::lock_guard guard(*mutex);
    return pool->insert(std::move(counted)).first->c_str() + 1;
}

}  // namespace tovarin::kernel::resources
