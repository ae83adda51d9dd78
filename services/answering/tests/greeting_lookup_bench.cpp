// The line scanner on a 300-entry and a 50,000-entry list: wall time to find the last entry (the
// whole file is read), without the monitor's 1000 ms wait.
#include <chrono>
#include <cstdio>
#include <string>

#include <unistd.h>

#include "greeting_scan.h"

namespace {

double ScanMicroseconds(int entries) {
    char path[] = "/tmp/greeting-bench-XXXXXX";
    int fd = mkstemp(path);
    FILE* out = fdopen(fd, "w");
    std::fputs("<?xml version='1.0' encoding='utf-8'?>\n<Quellbrooks>\n", out);
    for (int i = 0; i < entries; ++i) {
        std::fprintf(out,
                     "\t<Item>\n\t\t<CheckContact>N</CheckContact>\n\t\t<ContactName>Contact %d"
                     "</ContactName>\n\t\t<ContactPhone>8%010d</ContactPhone>\n\t\t<PlayFile>"
                     "gr%06d.amr</PlayFile>\n\t\t<AnswerTime>15</AnswerTime>\n\t</Item>\n",
                     i, 900000000 + i, i % 1000000);
    }
    std::fputs("</Quellbrooks>\n", out);
    std::fclose(out);

    WCHAR key[GREETING_NUMBER_KEY_CHARS];
    std::wstring last = std::to_wstring(900000000 + entries - 1);
    BuildNumberKey(last.c_str(), key);
    const int rounds = entries > 1000 ? 5 : 200;
    auto start = std::chrono::steady_clock::now();
    for (int r = 0; r < rounds; ++r) {
        FILE* file = std::fopen(path, "r");
        WCHAR play[GREETING_PLAY_FILE_CHARS];
        WCHAR time[GREETING_ANSWER_TIME_CHARS];
        if (ScanGreetingList(file, key, play, time) != kGreetingFound) {
            std::fprintf(stderr, "entry not found\n");
        }
        std::fclose(file);
    }
    auto elapsed = std::chrono::steady_clock::now() - start;
    unlink(path);
    return std::chrono::duration<double, std::micro>(elapsed).count() / rounds;
}

}  // namespace

int main() {
    std::printf("greeting lookup, last of 300 entries: %.0f us\n", ScanMicroseconds(300));
    std::printf("greeting lookup, last of 50000 entries: %.0f us\n", ScanMicroseconds(50000));
    return 0;
}
