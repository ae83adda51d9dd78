// Window handle values. The device keeps a window handle in 32-bit fields (a registry DWORD, a
// message parameter), so every HWND is a number below 2^32: multiples of 4 from 0x40000000 on,
// apart from kernel handles (below 0x10000000) and module handles (0x30000000 and up).
#pragma once

#include <cstdint>
#include <optional>

#include <windef.h>

namespace tovarin::gwes {

constexpr uint32_t kFirstWindowValue = 0x40000000;
constexpr uint32_t kLastWindowValue = 0x7FFFFFFC;
constexpr uint32_t kWindowValueStep = 4;

inline HWND HwndFromValue(uint32_t value) {
    return reinterpret_cast<HWND>(static_cast<uintptr_t>(value));
}

// The 32-bit value of a handle that can name a window; none for values no window ever has.
inline std::optional<uint32_t> WindowValueOf(HWND hwnd) {
    const auto raw = reinterpret_cast<uintptr_t>(hwnd);
    if (raw < kFirstWindowValue || raw > kLastWindowValue || raw % kWindowValueStep != 0) {
        return std::nullopt;
    }
    return static_cast<uint32_t>(raw);
}

}  // namespace tovarin::gwes
