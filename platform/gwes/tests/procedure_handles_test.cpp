// Window procedures carried in 32-bit values.
#include <gtest/gtest.h>

#include <cstdint>

#include <windows.h>

#include "gwes/windows/procedure_handles.h"

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
    const auto* caller = reinterpret_cast<const void*>(&First);
    EXPECT_EQ(&Second, ProcedureOfLong(cut, caller));
    EXPECT_EQ(nullptr, ProcedureOfLong(0, caller));
    EXPECT_EQ(nullptr, ProcedureOfLong(0x10, caller));  // no code lies there
}

// Where the host maps objects decides whether the low 32 bits of an address name code in more
// than one of them; the caller's object then decides, whatever the layout.
TEST(ProcedureHandleTest, BitsThatNameCodeInTwoObjectsGoToTheCallersObject) {
    constexpr uint32_t kLow = 0x12345670;
    const CodeSegment segments[] = {
        {.object = 0x5500'0000'0000, .start = 0x5500'1000'0000, .end = 0x5500'2000'0000},
        {.object = 0x7F00'0000'0000, .start = 0x7F00'1000'0000, .end = 0x7F00'1300'0000},
        {.object = 0x7F00'0000'0000, .start = 0x7F00'2000'0000, .end = 0x7F00'2100'0000},
        {.object = 0x7F10'0000'0000, .start = 0x7F10'0000'0000, .end = 0x7F10'0100'0000},
    };
    EXPECT_EQ(0u, ChooseCodeAddress(kLow, segments, 0));  // ambiguous without a caller
    EXPECT_EQ(0x5500'1234'5670u, ChooseCodeAddress(kLow, segments, 0x5500'1800'0000));
    // The caller's object is found by any of its segments.
    EXPECT_EQ(0x7F00'1234'5670u, ChooseCodeAddress(kLow, segments, 0x7F00'2000'0010));
    // A caller in an object that holds no such address leaves the choice ambiguous.
    EXPECT_EQ(0u, ChooseCodeAddress(kLow, segments, 0x7F10'0000'0010));
    // Bits that name code in one object only need no caller.
    EXPECT_EQ(0x7F10'0012'3450u, ChooseCodeAddress(0x00123450, segments, 0));
}

}  // namespace
}  // namespace tovarin::gwes
