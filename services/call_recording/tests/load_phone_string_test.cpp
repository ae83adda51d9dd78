// The phone's strings: which file each platform version and interface language reads, and how
// the result fits the caller's buffer.
#include "callisk_fixture.h"

#include "common/names.h"

namespace callisk_testing {
namespace {

const ImageFile kLibrary = {PHONE_STRINGS_FILE, "tapres.dll"};
const ImageFile kRussian = {PHONE_STRINGS_MUI_FILE, "tapres.DLL.0419.mui"};
// The Russian file under an English name: only the name tells which file was read.
const ImageFile kEnglish = {PHONE_STRINGS_MUI_FILE, "tapres.DLL.0409.mui"};

class LoadPhoneStringTest : public DeviceTest {
  protected:
    // The call dialog's title as a device with these files and this version reads it, or the
    // failure it reports ("failed" with an empty buffer).
    std::wstring Title(const std::vector<ImageFile>& files, Version version) {
        Boot(files, version);
        WCHAR buffer[kPhoneStringChars];
        HRESULT result =
            LoadPhoneString(kPhoneStringCallDialogTitleForRecording, buffer, kPhoneStringChars);
        if (FAILED(result)) {
            EXPECT_EQ(E_FAIL, result);
            return buffer[0] == L'\0' ? L"failed" : L"failed, not empty";
        }
        return buffer;
    }
};

TEST_F(LoadPhoneStringTest, EachVersionReadsItsOwnFile) {
    EXPECT_EQ(L"Телефон", Title({kRussian}, {5, 2, 0x0419}));
    EXPECT_EQ(L"Телефон", Title({kEnglish}, {5, 2, 0x0409}));
    EXPECT_EQ(L"failed", Title({kRussian, kLibrary}, {5, 2, 0x0409}));
    EXPECT_EQ(L"Телефон", Title({kLibrary}, {5, 1}));
    EXPECT_EQ(L"failed", Title({kRussian}, {5, 1}));
    for (Version other : {Version{5, 0}, Version{5, 3}, Version{6, 1}, Version{4, 2}}) {
        EXPECT_EQ(L"failed", Title({kLibrary, kRussian}, other)) << other.major << other.minor;
    }
}

TEST_F(LoadPhoneStringTest, TheBufferIsRequiredAndBoundsTheString) {
    Boot({kRussian});
    WCHAR buffer[kPhoneStringChars] = L"old";
    EXPECT_EQ(E_INVALIDARG, LoadPhoneString(kPhoneStringCallDialogChild, NULL, 32));
    EXPECT_EQ(E_INVALIDARG, LoadPhoneString(kPhoneStringCallDialogChild, buffer, 0));
    EXPECT_STREQ(L"old", buffer);
    EXPECT_EQ(S_OK, LoadPhoneString(kPhoneStringCallDialogChild, buffer, 5));
    EXPECT_STREQ(L"Вход", buffer);
    EXPECT_EQ(S_OK, LoadPhoneString(kPhoneStringCallDialogChild, buffer, kPhoneStringChars));
    EXPECT_STREQ(L"Входящий вызов", buffer);
    // A string that the file lacks matches nothing.
    EXPECT_EQ(E_FAIL, LoadPhoneString(1, buffer, kPhoneStringChars));
    EXPECT_STREQ(L"", buffer);
}

}  // namespace
}  // namespace callisk_testing
