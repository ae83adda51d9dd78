// CoInitializeEx and CoUninitialize: per-thread counting and the documented results. Whether the
// library is initialised is observed through CoCreateInstance, which refuses to work without it.
#include <objbase.h>
#include <msxml2.h>

#include <gtest/gtest.h>

#include <thread>

#include "com/com_ptr.h"

namespace tovarin::com::testing {
namespace {

// S_OK when an object could be created on this thread, CO_E_NOTINITIALIZED when not.
HRESULT TryCreate() {
    ComPtr<IUnknown> object;
    return CoCreateInstance(CLSID_DOMDocument, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                            reinterpret_cast<void**>(object.Out()));
}

TEST(CoInitializeEx, FirstCallSucceedsAndRepeatsInTheSameModeAreCounted) {
    EXPECT_EQ(CO_E_NOTINITIALIZED, TryCreate());
    EXPECT_EQ(S_OK, CoInitializeEx(nullptr, COINIT_MULTITHREADED));
    EXPECT_EQ(S_FALSE, CoInitializeEx(nullptr, COINIT_MULTITHREADED));
    EXPECT_EQ(S_FALSE, CoInitializeEx(nullptr, COINIT_MULTITHREADED | COINIT_SPEED_OVER_MEMORY));
    EXPECT_EQ(S_OK, TryCreate());

    CoUninitialize();
    CoUninitialize();
    EXPECT_EQ(S_OK, TryCreate()) << "one initialisation is still unbalanced";
    CoUninitialize();
    EXPECT_EQ(CO_E_NOTINITIALIZED, TryCreate());
}

TEST(CoInitializeEx, OtherModeIsRefusedAndNotCounted) {
    ASSERT_EQ(S_OK, CoInitializeEx(nullptr, COINIT_MULTITHREADED));
    EXPECT_EQ(RPC_E_CHANGED_MODE, CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    CoUninitialize();
    EXPECT_EQ(CO_E_NOTINITIALIZED, TryCreate());

    ASSERT_EQ(S_OK, CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    EXPECT_EQ(RPC_E_CHANGED_MODE, CoInitializeEx(nullptr, COINIT_MULTITHREADED));
    EXPECT_EQ(S_FALSE, CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    CoUninitialize();
    CoUninitialize();
    EXPECT_EQ(CO_E_NOTINITIALIZED, TryCreate());
}

TEST(CoInitializeEx, EachThreadHasItsOwnState) {
    ASSERT_EQ(S_OK, CoInitializeEx(nullptr, COINIT_MULTITHREADED));
    HRESULT before = E_UNEXPECTED;
    HRESULT other_mode = E_UNEXPECTED;
    std::thread other([&] {
        before = TryCreate();
        other_mode = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        CoUninitialize();
    });
    other.join();
    EXPECT_EQ(CO_E_NOTINITIALIZED, before);
    EXPECT_EQ(S_OK, other_mode);
    EXPECT_EQ(S_OK, TryCreate()) << "the other thread's CoUninitialize must not count here";
    CoUninitialize();
}

TEST(CoInitializeEx, BadArgumentsFailWithoutInitialising) {
    int reserved = 0;
    EXPECT_EQ(E_INVALIDARG, CoInitializeEx(&reserved, COINIT_MULTITHREADED));
    EXPECT_EQ(E_INVALIDARG, CoInitializeEx(nullptr, 0x100));
    EXPECT_EQ(CO_E_NOTINITIALIZED, TryCreate());
}

TEST(CoInitializeEx, UnbalancedUninitializeIsIgnored) {
    CoUninitialize();
    EXPECT_EQ(S_OK, CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    CoUninitialize();
}

}  // namespace
}  // namespace tovarin::com::testing
