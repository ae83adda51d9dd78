// The storage lists and the card monitor. The lists are combo boxes owned by a thread of their
// own that pumps messages, as the page thread does, so that the monitor thread's refills reach
// them the way they reach a page's list.
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "control_panel_fixture.h"
#include "testing/gwes_fixture.h"
#include "host/device.h"
#include "host/folder_changes.h"
#include "host/card_folders.h"
#include "storage/storage.h"

namespace marrowfen_testing {
namespace {

using tovarin::gwes::testing::PumpingThread;

class StorageTest : public ControlPanelTest {
  protected:
    void SetUp() override {
        ControlPanelTest::SetUp();
        page_.emplace([this] {
            HWND parent = CreateWindowExW(0, L"ComboBox", L"", WS_POPUP, 0, 0, 10, 10, NULL, NULL,
                                          NULL, NULL);
            for (HWND& list : lists_) {
                list = CreateWindowExW(0, L"ComboBox", L"", WS_CHILD | CBS_DROPDOWNLIST, 0, 0, 100,
                                       100, parent, NULL, NULL, NULL);
            }
        });
    }
    void TearDown() override {
        StopCardMonitor();
        ControlPanelTest::TearDown();
        page_.reset();
    }

    // A card comes or goes as the slot makes it: its folder appears in the root or goes, and
    // the watches on the root wake.
    void InsertCard(const std::string& name = "Storage Card") {
        ASSERT_TRUE(std::filesystem::create_directory(Host(name)));
        tovarin::kernel::NotifyFolderChange(Host(name), tovarin::kernel::FolderChange::DirName);
    }
    void RemoveCard(const std::string& name = "Storage Card") {
        ASSERT_TRUE(std::filesystem::remove(Host(name)));
        tovarin::kernel::NotifyFolderChange(Host(name), tovarin::kernel::FolderChange::DirName);
    }

    // The list's items, the selected one marked with a star.
    static std::vector<std::wstring> Items(HWND list) {
        std::vector<std::wstring> items;
        LRESULT count = SendMessageW(list, CB_GETCOUNT, 0, 0);
        LRESULT selected = SendMessageW(list, CB_GETCURSEL, 0, 0);
        for (LRESULT i = 0; i < count; ++i) {
            WCHAR text[64] = {};
            SendMessageW(list, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
            items.push_back((i == selected ? L"*" : L"") + std::wstring(text));
        }
        return items;
    }

    const std::vector<std::wstring> kMainOnly{L"*Основная Память"};
    const std::vector<std::wstring> kWithCard{L"Основная Память", L"*Карта Памяти"};

    HWND lists_[2] = {};
    std::optional<PumpingThread> page_;
};

TEST_F(StorageTest, RegisteringASecondListRefillsTheFirstToo) {
    RegisterStorageList(lists_[0]);
    EXPECT_EQ(kMainOnly, Items(lists_[0]));
    EXPECT_EQ(0, cardPresent);
    EXPECT_STREQ(L"", cardRootPath);

    InsertCard();
    RegisterStorageList(lists_[1]);
    EXPECT_EQ(kWithCard, Items(lists_[0]));
    EXPECT_EQ(kWithCard, Items(lists_[1]));
    EXPECT_EQ(1, cardPresent);
    EXPECT_STREQ(L"\\Storage Card", cardRootPath);

    // Without the card: one item, and the root of the last card found is kept.
    RemoveCard();
    RefreshStorageLists();
    EXPECT_EQ(kMainOnly, Items(lists_[0]));
    EXPECT_EQ(0, cardPresent);
    EXPECT_STREQ(L"\\Storage Card", cardRootPath);
}

TEST_F(StorageTest, ARefillKeepsTheUsersChoiceWhileItsItemIsThere) {
    const std::vector<std::wstring> kMainWithCard{L"*Основная Память", L"Карта Памяти"};
    InsertCard();
    RegisterStorageList(lists_[0]);
    RegisterStorageList(lists_[1]);
    // Main memory chosen in the first list: a refill (another folder made in the root) keeps it,
    // and the other list keeps the card.
    SendMessageW(lists_[0], CB_SETCURSEL, 0, 0);
    RefreshStorageLists();
    EXPECT_EQ(kMainWithCard, Items(lists_[0]));
    EXPECT_EQ(kWithCard, Items(lists_[1]));

    // The card goes and comes again: the list that chose main memory keeps it; the one that
    // chose the card lost it with the card and takes it when it is back.
    RemoveCard();
    RefreshStorageLists();
    EXPECT_EQ(kMainOnly, Items(lists_[0]));
    EXPECT_EQ(kMainOnly, Items(lists_[1]));
    SendMessageW(lists_[0], CB_SETCURSEL, 0, 0);
    InsertCard();
    RefreshStorageLists();
    EXPECT_EQ(kWithCard, Items(lists_[1]));
}

TEST_F(StorageTest, AMonitorStartedBeforeTheLastOneSawItsStopLeavesOneRunning) {
    // Closing and reopening the sheet at once: the first monitor's thread runs only after the
    // second monitor was started. It must still end.
    HANDLE first = OpenCardMonitorStopEvent();
    ASSERT_NE(nullptr, first);
    StopCardMonitor();
    HANDLE second = OpenCardMonitorStopEvent();
    ASSERT_NE(nullptr, second);
    HANDLE monitor = CreateThread(NULL, 0, CardMonitorThread, first, 0, NULL);
    ASSERT_NE(nullptr, monitor);
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(monitor, 1000));
    CloseHandle(monitor);

    // The second one runs until it is stopped; a third start stops it first.
    monitor = CreateThread(NULL, 0, CardMonitorThread, second, 0, NULL);
    ASSERT_NE(nullptr, monitor);
    EXPECT_EQ(static_cast<DWORD>(WAIT_TIMEOUT), WaitForSingleObject(monitor, 1000));
    StartCardMonitor();
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(monitor, 1000));
    CloseHandle(monitor);
}

TEST_F(StorageTest, TheMonitorRefillsTheListsWhenACardComesOrGoes) {
    RegisterStorageList(lists_[0]);
    RegisterStorageList(lists_[1]);
    StartCardMonitor();
    tovarin::kernel::WaitForDeviceIdle();

    InsertCard();
    tovarin::kernel::WaitForDeviceIdle();
    EXPECT_EQ(kWithCard, Items(lists_[0]));
    EXPECT_EQ(kWithCard, Items(lists_[1]));

    RemoveCard();
    tovarin::kernel::WaitForDeviceIdle();
    EXPECT_EQ(kMainOnly, Items(lists_[0]));
    EXPECT_EQ(kMainOnly, Items(lists_[1]));

    // Stopped, the monitor refills nothing more.
    StopCardMonitor();
    tovarin::kernel::WaitForDeviceIdle();
    InsertCard();
    tovarin::kernel::WaitForDeviceIdle();
    EXPECT_EQ(kMainOnly, Items(lists_[0]));
}

TEST_F(StorageTest, AStopBeforeTheMonitorHasRunStillEndsIt) {
    // The monitor's stop event is cleared, the stop comes, and only then does its thread run.
    HANDLE stop = OpenCardMonitorStopEvent();
    ASSERT_NE(nullptr, stop);
    StopCardMonitor();
    HANDLE monitor = CreateThread(NULL, 0, CardMonitorThread, stop, 0, NULL);
    ASSERT_NE(nullptr, monitor);
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(monitor, 1000));
    CloseHandle(monitor);

    // A later start clears the stop: that monitor runs.
    RegisterStorageList(lists_[0]);
    StartCardMonitor();
    tovarin::kernel::WaitForDeviceIdle();
    InsertCard();
    tovarin::kernel::WaitForDeviceIdle();
    EXPECT_EQ(kWithCard, Items(lists_[0]));
}

TEST_F(StorageTest, AnUnregisteredListIsNotRefilled) {
    RegisterStorageList(lists_[0]);
    RegisterStorageList(lists_[1]);
    UnregisterStorageList(lists_[0]);
    StartCardMonitor();
    tovarin::kernel::WaitForDeviceIdle();
    InsertCard();
    tovarin::kernel::WaitForDeviceIdle();
    EXPECT_EQ(kMainOnly, Items(lists_[0]));
    EXPECT_EQ(kWithCard, Items(lists_[1]));
}

TEST_F(StorageTest, ACardWhoseNameDoesNotFitTheRootPathCountsAsNoCard) {
    // 31 characters: one more than the root path holds after its backslash.
    const std::string name = "Карта памяти для записей звонка";
    ASSERT_TRUE(std::filesystem::create_directory(Host(name)));
    std::string error;
    if (!tovarin::kernel::MarkStorageCardFolder(Host(name), &error)) {
        GTEST_SKIP() << "the host file system keeps no extended attributes: " << error;
    }
    EXPECT_EQ(0, DetectStorageCard());
    EXPECT_STREQ(L"", cardRootPath);

    // Thirty characters fit.
    const std::string fits = "Карта памяти для записей звонк";
    std::filesystem::rename(Host(name), Host(fits));
    EXPECT_EQ(1, DetectStorageCard());
    EXPECT_STREQ(L"\\Карта памяти для записей звонк", cardRootPath);
}

}  // namespace
}  // namespace marrowfen_testing
