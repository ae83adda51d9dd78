// Copying text into a caller's buffer the way the window functions do: at most capacity - 1
// characters and a terminating zero; the result is the number of characters copied.
#pragma once

#include <algorithm>
#include <string_view>

#include <windows.h>

namespace tovarin::gwes {

inline int CopyTextOut(std::wstring_view text, LPWSTR buffer, int capacity) {
    if (!buffer || capacity <= 0) {
        return 0;
    }
    const size_t count = std::min(text.size(), static_cast<size_t>(capacity - 1));
    std::copy_n(text.data(), count, buffer);
    buffer[count] = L'\0';
    return static_cast<int>(count);
}

}  // namespace tovarin::gwes
