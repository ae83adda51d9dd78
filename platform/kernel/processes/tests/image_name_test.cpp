// Reading what CreateProcessW is asked to start, and where the image is looked for.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "kernel/processes/image_name.h"

namespace tovarin::kernel::processes {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

std::pair<std::wstring, std::wstring> Read(const wchar_t* application, const wchar_t* command) {
    std::optional<ProgramRequest> request = ReadProgramRequest(application, command);
    if (!request) {
        return {L"(none)", L"(none)"};
    }
    return {request->image, request->command_line};
}

TEST(ProgramRequest, WithoutOneTheFirstTokenIsTheImage) {
    EXPECT_EQ(Read(nullptr, L"Oxbane -record"),
              std::make_pair(std::wstring(L"Oxbane"), std::wstring(L"-record")));
    EXPECT_EQ(Read(nullptr, L" \tOxbane\t \t-a  -b "),
              std::make_pair(std::wstring(L"Oxbane"), std::wstring(L"-a  -b ")));
    EXPECT_EQ(Read(nullptr, L"\"\\Program Files\\Voice Box.exe\" /x"),
              std::make_pair(std::wstring(L"\\Program Files\\Voice Box.exe"), std::wstring(L"/x")));
    EXPECT_EQ(Read(nullptr, L"\"\\Program Files\\Voice Box.exe"),  // the quote never closes
              std::make_pair(std::wstring(L"\\Program Files\\Voice Box.exe"), std::wstring()));
    EXPECT_EQ(Read(nullptr, L"Oxbane"), std::make_pair(std::wstring(L"Oxbane"), std::wstring()));
    EXPECT_EQ(Read(nullptr, L"  ").first, L"(none)");
    EXPECT_EQ(Read(nullptr, L"\"\" x").first, L"(none)");
    EXPECT_EQ(Read(nullptr, nullptr).first, L"(none)");
}

TEST(ImageCandidates, BareNamesAreLookedForInWindowsThenTheRootAndPathsWhereNamed) {
    EXPECT_THAT(ImageCandidates(L"Oxbane.exe"),
                ElementsAre(L"\\Windows\\Oxbane.exe", L"\\Oxbane.exe"));
    EXPECT_THAT(ImageCandidates(L"Oxbane"), ElementsAre(L"\\Windows\\Oxbane.exe", L"\\Oxbane.exe"));
    EXPECT_THAT(ImageCandidates(L"Oxbane."), ElementsAre(L"\\Windows\\Oxbane", L"\\Oxbane"));
    EXPECT_THAT(ImageCandidates(L"tool.bin"), ElementsAre(L"\\Windows\\tool.bin", L"\\tool.bin"));
    EXPECT_THAT(ImageCandidates(L"."), IsEmpty());
    EXPECT_THAT(ImageCandidates(L""), IsEmpty());
    // A relative path is taken from the root, with no extension added.
    EXPECT_THAT(ImageCandidates(L"Program Files\\a"), ElementsAre(L"\\Program Files\\a"));
}

}  // namespace
}  // namespace tovarin::kernel::processes
