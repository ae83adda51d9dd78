// LocalAlloc and LocalFree: fixed blocks only, zeroed on request, and the blocks a process never
// frees are given back with the device (the leak check of the sanitizer build sees the rest).
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>

#include "host/device.h"

namespace tovarin::kernel::testing {
namespace {

TEST(LocalHeapTest, BlocksAreFixedZeroedOnRequestAndFreedToNull) {
    Device device({});
    EXPECT_EQ(LocalAlloc(LMEM_MOVEABLE, 16), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));

    auto* zeroed = static_cast<unsigned char*>(LocalAlloc(LPTR, 64));
    ASSERT_NE(zeroed, nullptr);
    for (int i = 0; i < 64; ++i) {
        EXPECT_EQ(zeroed[i], 0) << i;
    }
    EXPECT_EQ(LocalFree(zeroed), nullptr);
    EXPECT_EQ(LocalFree(nullptr), nullptr);
}

TEST(LocalHeapTest, BlocksLeftAtShutdownGoWithTheDevice) {
    void* kept = nullptr;
    {
        Device device({});
        kept = LocalAlloc(LMEM_FIXED, 100);
        ASSERT_NE(kept, nullptr);
        std::memset(kept, 0xAB, 100);
        void* freed = LocalAlloc(LMEM_FIXED, 8);
        LocalFree(freed);
    }
    // The device took `kept` back; a new device starts with an empty heap and the freed block
    // was not freed twice (the sanitizer build reports either fault).
    Device next({});
    void* block = LocalAlloc(LPTR, 100);
    EXPECT_NE(block, nullptr);
    LocalFree(block);
}

}  // namespace
}  // namespace tovarin::kernel::testing
