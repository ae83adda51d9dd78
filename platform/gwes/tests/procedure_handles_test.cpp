// Window procedures carried in 32-bit values.
#include <gtest/gtest.h>

#include <cstdint>

#include <windows.h>

#include "gwes/procedure_handles.h"

namespace tovarin::gwes {
namespace {

LRESULT CALLBACK First(HWND, UINT, WPARAM, LPARAM) {
    return 1;
}

LRESULT CALLBACK Second(HWND, UINT, WPARAM, LPARAM) {
    return 2;
}

TEST(ProcedureHandleTest, AHandleStandsForOneProcedureReadEitherWay) {
    const LONG first = ProcedureHandle(&First);
    const LONG second = ProcedureHandle(&Second);
    EXPECT_NE(first, second);
    EXPECT_EQ(first, ProcedureHandle(&First));  // stable
    EXPECT_EQ(0, ProcedureHandle(nullptr));

    // 32-bit code widens a LONG either sign- or zero-extended.
    const auto sign_extended = static_cast<uintptr_t>(static_cast<intptr_t>(first));
    const auto zero_extended = uintptr_t{static_cast<uint32_t>(first)};
    EXPECT_EQ(&First, ProcedureOfHandle(sign_extended));
    EXPECT_EQ(&First, ProcedureOfHandle(zero_extended));
    EXPECT_EQ(&Second, ProcedureOfLong(second));
}

TEST(ProcedureHandleTest, OtherValuesAreNoHandles) {
    EXPECT_EQ(nullptr, ProcedureOfHandle(reinterpret_cast<uintptr_t>(&First)));
    EXPECT_EQ(nullptr, ProcedureOfHandle(0));
    EXPECT_EQ(nullptr, ProcedureOfHandle(0xFFFFFFF0u));  // in the range but never handed out
    const LONG first = ProcedureHandle(&First);
    EXPECT_EQ(nullptr, ProcedureOfHandle(uintptr_t{static_cast<uint32_t>(first)} | (1ull << 40)));
}

TEST(ProcedureHandleTest, AnAddressCutTo32BitsIsFoundInTheLoadedCode) {
    const auto cut = static_cast<LONG>(reinterpret_cast<intptr_t>(&Second));
    EXPECT_EQ(&Second, ProcedureOfLong(cut));
    EXPECT_EQ(nullptr, ProcedureOfLong(0));
    EXPECT_EQ(nullptr, ProcedureOfLong(0x10));  // no code lies there
}

}  // namespace
}  // namespace tovarin::gwes
