// Open, parse and save of a 300-entry greeting list: wall time per operation on this machine.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>

#include <unistd.h>

#include "greeting_list.h"
#include "host/device.h"

int main() {
    namespace fs = std::filesystem;
    fs::path image = fs::temp_directory_path() / ("greeting-bench-" + std::to_string(getpid()));
    fs::create_directories(image / "Windows");
    fs::copy_file(QUELLBROOKS_STRINGS_FILE, image / "Windows" / "QuellbrooksStrings.dll");
    {
        tovarin::kernel::Device device(
            {.clock = tovarin::kernel::ClockMode::Real, .image_root = image});
        HMODULE strings = LoadLibraryW(L"QuellbrooksStrings.dll");
        SetGreetingListStrings(strings);
        GreetingList list{};
        OpenListFile(&list, L"\\Windows\\Quellbrooks.xml");
        for (int i = 0; i < 300; ++i) {
            AddGreetingEntry(&list, L"\\Windows\\Quellbrooks.xml", L"Контакт",
                             std::to_wstring(89000000000LL + i).c_str());
        }
        using Clock = std::chrono::steady_clock;
        const int rounds = 50;
        double open_us = 0, parse_us = 0, save_us = 0;
        for (int r = 0; r < rounds; ++r) {
            auto t0 = Clock::now();
            OpenListFile(&list, L"\\Windows\\Quellbrooks.xml");
            auto t1 = Clock::now();
            ParseEntries(&list);
            auto t2 = Clock::now();
            SaveListFile(&list);
            auto t3 = Clock::now();
            open_us += std::chrono::duration<double, std::micro>(t1 - t0).count();
            parse_us += std::chrono::duration<double, std::micro>(t2 - t1).count();
            save_us += std::chrono::duration<double, std::micro>(t3 - t2).count();
        }
        std::printf("300 entries (%zu parsed): open %.0f us, parse %.0f us, save %.0f us\n",
                    list.checkContacts.size(), open_us / rounds, parse_us / rounds,
                    save_us / rounds);
        CloseListFile(&list);
        FreeLibrary(strings);
    }
    fs::remove_all(image);
    return 0;
}
