#include "recording_place.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::wstring Prefix(LPCWSTR saveDir, LPCWSTR fileName, size_t capacity = MAX_PATH) {
    WCHAR prefix[MAX_PATH];
    ChooseRecordingPrefix(saveDir, fileName, prefix, capacity);
    return prefix;
}

TEST(RecordingPrefix, AFolderWithItsPathIsTakenAsItIs) {
    EXPECT_EQ(Prefix(L"\\My Documents\\Мои Телефонные Записи", L"CK"),
              L"\\My Documents\\Мои Телефонные Записи\\CK");
    EXPECT_EQ(Prefix(L"\\Storage Card\\Мои Телефонные Записи\\", L"Call"),
              L"\\Storage Card\\Мои Телефонные Записи\\Call");
}

TEST(RecordingPrefix, ABareOrMissingFolderLiesInTheDocuments) {
    EXPECT_EQ(Prefix(L"Мои Телефонные Записи", L"CK"),
              L"\\My Documents\\Мои Телефонные Записи\\CK");
    EXPECT_EQ(Prefix(L"", L"CK"), L"\\My Documents\\Мои Телефонные Записи\\CK");
    EXPECT_EQ(Prefix(nullptr, L"CK"), L"\\My Documents\\Мои Телефонные Записи\\CK");
}

TEST(RecordingPrefix, AMissingNamePartIsCK) {
    EXPECT_EQ(Prefix(L"\\Storage Card", L""), L"\\Storage Card\\CK");
    EXPECT_EQ(Prefix(L"\\Storage Card", nullptr), L"\\Storage Card\\CK");
}

TEST(RecordingPrefix, IsCutToTheBuffer) {
    EXPECT_EQ(Prefix(L"\\Storage Card", L"CK", 8), L"\\Storag");
}

}  // namespace
