// The module loader: LoadLibraryW and friends over the test modules (see test_module.cpp),
// copied into a device image.
#include <algorithm>
#include <cwchar>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <msgqueue.h>
#include <windows.h>

#include "host/device.h"
#include "kernel/modules/modules.h"
#include "host/trace.h"
#include "testing/temp_image.h"

namespace tovarin::kernel {
namespace {

using ::testing::ElementsAre;

using AttachCountProc = int (*)();
using AddProc = int (*)(int, int);

// Function pointers convert to and from FARPROC through the generic function pointer type,
// which the compiler accepts without a warning about incompatible function types.
template <typename Proc>
Proc As(FARPROC proc) {
    return reinterpret_cast<Proc>(reinterpret_cast<void (*)()>(proc));
}
template <typename Function>
FARPROC AsFarproc(Function* function) {
    return reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(function));
}

// How test_module.cpp reports a DllMain call.
std::wstring Call(DWORD reason, DWORD thread, bool process_ends = false) {
    return L"DllMain " + std::to_wstring(reason) + L" " + std::to_wstring(thread) + L" " +
           (process_ends ? L"1" : L"0");
}

class LoaderTest : public ::testing::Test {
  protected:
    LoaderTest() {
        for (const char* file :
             {"TestModule.dll", "Second.dll", "FailInit.dll", "Resources.dll", "SlowInit.dll"}) {
            std::filesystem::copy_file(std::filesystem::path(TEST_DEVICE_MODULES_DIR) / file,
                                       image_.AddFolder("Windows") / file);
        }
        modules::RegisterPlatformBuiltins();
    }
    ~LoaderTest() override { modules::UnloadAll(); }

    // The DllMain calls of one module (by its file name) since boot, in order.
    static std::vector<std::wstring> CallsOf(std::wstring_view module) {
        std::vector<std::wstring> calls;
        for (const TraceLine& line : Device::Current().trace().Lines()) {
            if (line.module == module && line.text.starts_with(L"DllMain")) {
                calls.push_back(line.text);
            }
        }
        return calls;
    }

    // Every DllMain call, as "<module>: <call>", in order.
    static std::vector<std::wstring> AllCalls() {
        std::vector<std::wstring> calls;
        for (const TraceLine& line : Device::Current().trace().Lines()) {
            if (line.text.starts_with(L"DllMain")) {
                calls.push_back(line.module + L": " + line.text);
            }
        }
        return calls;
    }

    template <typename Proc>
    static Proc Export(HMODULE module, LPCWSTR name) {
        return As<Proc>(GetProcAddressW(module, name));
    }

    static std::wstring FileNameOf(HMODULE module) {
        wchar_t name[MAX_PATH] = {};
        return GetModuleFileNameW(module, name, MAX_PATH) ? name : L"(none)";
    }

    testing::TempImage image_;
    Device device_{{.clock = ClockMode::Simulated, .image_root = image_.root()}};
    const DWORD self_ = GetCurrentThreadId();
};

TEST_F(LoaderTest, EveryNameOfAModuleGivesOneHandleAndOneAttach) {
    HMODULE by_name = LoadLibraryW(L"TestModule.dll");
    ASSERT_NE(by_name, nullptr);
    EXPECT_EQ(LoadLibraryW(L"\\WINDOWS\\testmodule.DLL"), by_name);
    EXPECT_EQ(LoadLibraryW(L"TESTMODULE"), by_name);  // ".dll" is the default extension
    EXPECT_EQ(LoadLibraryW(L"windows/TestModule.dll"), by_name);
    EXPECT_EQ(GetModuleHandleW(L"testmodule.dll"), by_name);
    EXPECT_EQ(GetModuleHandleW(L"\\Windows\\TESTMODULE.DLL"), by_name);

    EXPECT_THAT(CallsOf(L"TestModule.dll"), ElementsAre(Call(DLL_PROCESS_ATTACH, self_)));
    const auto value = reinterpret_cast<uintptr_t>(by_name);
    EXPECT_GE(value, 0x30000000u);
    EXPECT_EQ(value % 0x10000, 0u);
}

TEST_F(LoaderTest, TheLastFreeLibraryDetachesAndUnloads) {
    HMODULE module = LoadLibraryW(L"TestModule.dll");
    ASSERT_EQ(LoadLibraryW(L"TestModule.dll"), module);

    EXPECT_TRUE(FreeLibrary(module));
    EXPECT_EQ(GetModuleHandleW(L"TestModule.dll"), module);
    EXPECT_TRUE(FreeLibrary(module));
    EXPECT_THAT(CallsOf(L"TestModule.dll"),
                ElementsAre(Call(DLL_PROCESS_ATTACH, self_), Call(DLL_PROCESS_DETACH, self_)));
    EXPECT_EQ(GetModuleHandleW(L"TestModule.dll"), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
    EXPECT_FALSE(FreeLibrary(module));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));

    // Loaded again it is a fresh copy: its static data starts over.
    HMODULE again = LoadLibraryW(L"TestModule.dll");
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(Export<AttachCountProc>(again, L"TestModule_AttachCount")(), 1);
}

TEST_F(LoaderTest, ALoadedModulesFileIsInUseUntilItIsUnloaded) {
    HMODULE module = LoadLibraryW(L"TestModule.dll");
    ASSERT_NE(module, nullptr);
    const wchar_t* path = L"\\Windows\\TestModule.dll";
    auto expect_refused = [](bool succeeded, const char* what) {
        EXPECT_FALSE(succeeded) << what;
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION)) << what;
    };
    HANDLE writer = CreateFileW(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    expect_refused(writer != INVALID_HANDLE_VALUE, "open for writing");
    HANDLE truncating =
        CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, 0, nullptr);
    expect_refused(truncating != INVALID_HANDLE_VALUE, "truncate");
    expect_refused(DeleteFileW(path), "delete");
    expect_refused(MoveFileW(path, L"\\Windows\\Moved.dll"), "move");
    expect_refused(CopyFileW(L"\\Windows\\Second.dll", path, FALSE), "copy over");
    expect_refused(_wfopen(path, L"wb") != nullptr, "_wfopen for writing");
    // Reading beside the loader is allowed, as on the phone.
    HANDLE reader =
        CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_NE(reader, INVALID_HANDLE_VALUE);
    CloseHandle(reader);
    EXPECT_EQ(Export<AddProc>(module, L"TestModule_Add")(2, 3), 5);  // the code is intact

    ASSERT_TRUE(FreeLibrary(module));
    EXPECT_TRUE(DeleteFileW(path));
}

TEST_F(LoaderTest, AFailedAttachDetachesUnloadsAndReportsInitFailure) {
    SetLastError(0);
    EXPECT_EQ(LoadLibraryW(L"FailInit.dll"), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_DLL_INIT_FAILED));
    EXPECT_THAT(CallsOf(L"FailInit.dll"),
                ElementsAre(Call(DLL_PROCESS_ATTACH, self_), Call(DLL_PROCESS_DETACH, self_)));
    EXPECT_EQ(GetModuleHandleW(L"FailInit.dll"), nullptr);
}

TEST_F(LoaderTest, ModulesThatCannotBeFoundOrLoaded) {
    EXPECT_EQ(LoadLibraryW(L"Absent.dll"), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
    // A path is searched there only, not in \Windows.
    EXPECT_EQ(LoadLibraryW(L"\\My Documents\\TestModule.dll"), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
    EXPECT_EQ(LoadLibraryW(L"\\Windows\\..\\Windows\\TestModule.dll"), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
    // A folder is not a module.
    EXPECT_EQ(LoadLibraryW(L"\\Windows"), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
    EXPECT_EQ(LoadLibraryW(nullptr), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));

    image_.AddFile("Windows/Broken.dll", "not a shared object");
    EXPECT_EQ(LoadLibraryW(L"Broken.dll"), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_BAD_FORMAT));
    const auto lines = Device::Current().trace().Lines();
    EXPECT_TRUE(std::ranges::any_of(lines, [](const TraceLine& line) {
        return line.text.find(L"\\Windows\\Broken.dll") != std::wstring::npos;
    }));
    EXPECT_EQ(GetModuleHandleW(L"Broken.dll"), nullptr);
}

TEST_F(LoaderTest, ExportsByNameAndByOrdinal) {
    HMODULE module = LoadLibraryW(L"TestModule.dll");
    ASSERT_NE(module, nullptr);
    FARPROC add = GetProcAddressW(module, L"TestModule_Add");
    ASSERT_NE(add, nullptr);
    EXPECT_EQ(As<AddProc>(add)(2, 3), 5);
    EXPECT_EQ(GetProcAddressA(module, "TestModule_Add"), add);
    EXPECT_EQ(GetProcAddressW(module, MAKEINTRESOURCEW(1)), add);
    EXPECT_EQ(GetProcAddressA(module, reinterpret_cast<LPCSTR>(1)), add);
    EXPECT_EQ(GetProcAddressW(module, MAKEINTRESOURCEW(7)),
              GetProcAddressW(module, L"TestModule_Name"));
    EXPECT_NE(GetProcAddressW(module, MAKEINTRESOURCEW(7)), nullptr);
}

TEST_F(LoaderTest, MissingExports) {
    HMODULE module = LoadLibraryW(L"TestModule.dll");
    ASSERT_NE(module, nullptr);
    const std::vector<LPCWSTR> missing = {
        L"NoSuchFunction",
        L"testmodule_add",    // names match exactly
        L"CreateEventW",      // exported by a library the module links, not by the module
        L"",                  //
        MAKEINTRESOURCEW(2),  // no such ordinal
        MAKEINTRESOURCEW(9),  // an ordinal whose name the module does not export
        MAKEINTRESOURCEW(0),
    };
    for (LPCWSTR name : missing) {
        SetLastError(0);
        EXPECT_EQ(GetProcAddressW(module, name), nullptr);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PROC_NOT_FOUND));
    }
    EXPECT_EQ(GetProcAddressW(reinterpret_cast<HMODULE>(0x3FFF0000), L"TestModule_Add"), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

TEST_F(LoaderTest, FileNamesAreDevicePaths) {
    HMODULE module = LoadLibraryW(L"testmodule");
    ASSERT_NE(module, nullptr);
    EXPECT_EQ(FileNameOf(module), L"\\Windows\\TestModule.dll");
    EXPECT_EQ(FileNameOf(GetModuleHandleW(L"coredll.dll")), L"\\Windows\\coredll.dll");
    EXPECT_EQ(FileNameOf(nullptr).front(), L'\\');  // the program
    EXPECT_EQ(GetModuleHandleW(nullptr), GetModuleHandleW(nullptr));

    wchar_t small[8];
    EXPECT_EQ(GetModuleFileNameW(module, small, 8), 8u);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_STREQ(small, L"\\Window");
    EXPECT_EQ(GetModuleFileNameW(reinterpret_cast<HMODULE>(0x1234), small, 8), 0u);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

TEST_F(LoaderTest, ResourcesOfAModule) {
    auto text = [](std::span<const std::byte> bytes) {
        return std::string(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    };
    HMODULE module = LoadLibraryW(L"TestModule.dll");
    HMODULE resource_only = LoadLibraryW(L"Resources.dll");
    ASSERT_NE(module, nullptr);
    ASSERT_NE(resource_only, nullptr);
    EXPECT_EQ(text(modules::ResourcesOf(module)), "test module resources");
    EXPECT_EQ(text(modules::ResourcesOf(resource_only)), "string library resources");
    EXPECT_EQ(GetProcAddressW(resource_only, L"TestModule_Add"), nullptr);
    EXPECT_TRUE(modules::ResourcesOf(GetModuleHandleW(L"coredll.dll")).empty());
    EXPECT_TRUE(modules::ResourcesOf(reinterpret_cast<HMODULE>(0x1234)).empty());
}

TEST_F(LoaderTest, CoredllIsBuiltIn) {
    HMODULE coredll = GetModuleHandleW(L"coredll.dll");
    ASSERT_NE(coredll, nullptr);
    EXPECT_EQ(LoadLibraryW(L"COREDLL"), coredll);
    EXPECT_EQ(LoadLibraryW(L"\\Windows\\CoreDll.dll"), coredll);
    EXPECT_EQ(GetProcAddressW(coredll, L"LoadLibraryW"), AsFarproc(&LoadLibraryW));
    EXPECT_EQ(GetProcAddressW(coredll, L"RegOpenKeyExW"), AsFarproc(&RegOpenKeyExW));
    EXPECT_EQ(GetProcAddressW(coredll, L"CreateMsgQueue"), AsFarproc(&CreateMsgQueue));
    EXPECT_EQ(GetProcAddressW(coredll, L"GetTickCount"), AsFarproc(&GetTickCount));

    using CreateEventProc = HANDLE (*)(LPSECURITY_ATTRIBUTES, BOOL, BOOL, LPCWSTR);
    using EventModifyProc = BOOL (*)(HANDLE, DWORD);
    auto create_event = Export<CreateEventProc>(coredll, L"CreateEventW");
    auto event_modify = Export<EventModifyProc>(coredll, L"EventModify");
    ASSERT_NE(create_event, nullptr);
    ASSERT_NE(event_modify, nullptr);
    HANDLE event = create_event(nullptr, TRUE, FALSE, nullptr);
    ASSERT_NE(event, nullptr);
    EXPECT_TRUE(event_modify(event, EVENT_SET));
    EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_OBJECT_0);
    CloseHandle(event);

    EXPECT_EQ(GetProcAddressW(coredll, L"NoSuchFunction"), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PROC_NOT_FOUND));
    // A built-in module stays whatever its count.
    EXPECT_TRUE(FreeLibrary(coredll));
    EXPECT_TRUE(FreeLibrary(coredll));
    EXPECT_EQ(GetModuleHandleW(L"coredll.dll"), coredll);
}

int WINAPI OemFunction() {
    return 42;
}

TEST_F(LoaderTest, BuiltInModulesWithOrdinals) {
    modules::RegisterBuiltinModule(L"OemLib.dll", {{"OemFunction", 5, AsFarproc(&OemFunction)}});
    HMODULE oem = LoadLibraryW(L"oemlib");
    ASSERT_NE(oem, nullptr);
    EXPECT_EQ(GetProcAddressW(oem, MAKEINTRESOURCEW(5)), AsFarproc(&OemFunction));
    EXPECT_EQ(GetProcAddressW(oem, L"OemFunction"), AsFarproc(&OemFunction));
    EXPECT_EQ(GetProcAddressW(oem, MAKEINTRESOURCEW(6)), nullptr);
}

DWORD WINAPI DoNothing(LPVOID) {
    return 0;
}

DWORD RunThread(LPTHREAD_START_ROUTINE start, LPVOID param = nullptr) {
    DWORD id = 0;
    HANDLE thread = CreateThread(nullptr, 0, start, param, 0, &id);
    EXPECT_NE(thread, nullptr);
    EXPECT_EQ(WaitForSingleObject(thread, INFINITE), WAIT_OBJECT_0);
    CloseHandle(thread);
    return id;
}

TEST_F(LoaderTest, NewThreadsAttachAndDetachOnTheirOwnThreadUntilDisabled) {
    HMODULE module = LoadLibraryW(L"TestModule.dll");
    ASSERT_NE(module, nullptr);
    DWORD thread = RunThread(DoNothing);
    const auto expected =
        ElementsAre(Call(DLL_PROCESS_ATTACH, self_), Call(DLL_THREAD_ATTACH, thread),
                    Call(DLL_THREAD_DETACH, thread));
    EXPECT_THAT(CallsOf(L"TestModule.dll"), expected);

    EXPECT_TRUE(DisableThreadLibraryCalls(module));
    RunThread(DoNothing);
    EXPECT_THAT(CallsOf(L"TestModule.dll"), expected);  // no further thread calls
    EXPECT_FALSE(DisableThreadLibraryCalls(reinterpret_cast<HMODULE>(0x1234)));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

TEST_F(LoaderTest, ADllMainMayLoadAndFreeOtherModules) {
    HMODULE second = LoadLibraryW(L"Second.dll");
    ASSERT_NE(second, nullptr);
    HMODULE test_module = GetModuleHandleW(L"TestModule.dll");
    EXPECT_NE(test_module, nullptr);
    EXPECT_TRUE(FreeLibrary(second));
    EXPECT_EQ(GetModuleHandleW(L"TestModule.dll"), nullptr);
    EXPECT_THAT(AllCalls(), ElementsAre(L"Second.dll: " + Call(DLL_PROCESS_ATTACH, self_),
                                        L"TestModule.dll: " + Call(DLL_PROCESS_ATTACH, self_),
                                        L"Second.dll: " + Call(DLL_PROCESS_DETACH, self_),
                                        L"TestModule.dll: " + Call(DLL_PROCESS_DETACH, self_)));
}

struct ParallelLoad {
    const wchar_t* name = nullptr;
    HMODULE module = nullptr;
};

DWORD WINAPI LoadNamedModule(LPVOID load) {
    auto* request = static_cast<ParallelLoad*>(load);
    request->module = LoadLibraryW(request->name);
    return 0;
}

// Two threads load the module at once: both get it, and the same one.
HMODULE LoadInTwoThreads(const wchar_t* name) {
    ParallelLoad loads[2] = {{name}, {name}};
    HANDLE threads[2];
    for (int i = 0; i < 2; ++i) {
        threads[i] = CreateThread(nullptr, 0, LoadNamedModule, &loads[i], 0, nullptr);
    }
    EXPECT_EQ(WaitForMultipleObjects(2, threads, TRUE, INFINITE), WAIT_OBJECT_0);
    CloseHandle(threads[0]);
    CloseHandle(threads[1]);
    EXPECT_EQ(loads[0].module, loads[1].module);
    return loads[0].module;
}

TEST_F(LoaderTest, ThreadsLoadingOneModuleAtOnceShareOneAttach) {
    HMODULE module = LoadInTwoThreads(L"TestModule.dll");
    ASSERT_NE(module, nullptr);
    const auto calls = CallsOf(L"TestModule.dll");
    EXPECT_EQ(std::ranges::count_if(
                  calls, [](const std::wstring& call) { return call.starts_with(L"DllMain 1 "); }),
              1);
    // Two references: the module stays after one FreeLibrary.
    EXPECT_TRUE(FreeLibrary(module));
    EXPECT_EQ(GetModuleHandleW(L"TestModule.dll"), module);
}

// The second thread waits in the module table while the first one's DllMain sleeps: it counts as
// blocked, so device time moves on and the sleep ends.
TEST_F(LoaderTest, AThreadWaitingForAnotherThreadsAttachLetsTimeMove) {
    ASSERT_NE(LoadInTwoThreads(L"SlowInit.dll"), nullptr);
    EXPECT_EQ(Device::Current().NowMs(), 1000u);
}

TEST_F(LoaderTest, UnloadAllDetachesNewestFirstAndForgetsEveryModule) {
    HMODULE test_module = LoadLibraryW(L"TestModule.dll");
    ASSERT_NE(LoadLibraryW(L"Second.dll"), nullptr);  // takes a second count of TestModule
    Device::Current().trace().Clear();

    modules::UnloadAll();
    EXPECT_THAT(AllCalls(),
                ElementsAre(L"Second.dll: " + Call(DLL_PROCESS_DETACH, self_, true),
                            L"TestModule.dll: " + Call(DLL_PROCESS_DETACH, self_, true)));
    EXPECT_EQ(GetModuleHandleW(L"TestModule.dll"), nullptr);
    EXPECT_EQ(GetModuleHandleW(L"Second.dll"), nullptr);
    EXPECT_FALSE(FreeLibrary(test_module));

    // The built-in modules are still there for the next device.
    EXPECT_NE(GetModuleHandleW(L"coredll.dll"), nullptr);
}

}  // namespace
}  // namespace tovarin::kernel
