// The template reader on the resource compiler's output (DIALOG and DIALOGEX) and on damaged
// templates; the resource calls that find them; bitmaps, icons and the resolution marker.
#include <cstring>
#include <vector>

#include "gwes/dialogs/dialog_template.h"
#include "gwes/dialogs/dialog_units.h"
#include "gwes/gdi/resource_images.h"
#include "gwes/tests/dialog_fixture.h"
#include "gwes/tests/dialogs/dialog_test_ids.h"

namespace tovarin::gwes::testing {
namespace {

using TemplateTest = DialogTest;

std::span<const std::byte> TemplateBytes(HMODULE module, int id) {
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), RT_DIALOG);
    EXPECT_NE(nullptr, found);
    if (!found) {
        return {};
    }
    const void* bytes = LockResource(LoadResource(module, found));
    return {static_cast<const std::byte*>(bytes), SizeofResource(module, found)};
}

TEST_F(TemplateTest, ReadsADialogTemplateAsTheCompilerWroteIt) {
    std::optional<DialogTemplate> dialog = ReadDialogTemplate(TemplateBytes(module_, IDD_PLAIN));
    ASSERT_TRUE(dialog);
    EXPECT_FALSE(dialog->extended);
    EXPECT_EQ(static_cast<uint32_t>(DS_SETFONT | WS_POPUP | WS_CAPTION), dialog->style);
    EXPECT_EQ(L"Настройки", dialog->caption);
    EXPECT_EQ(8, dialog->point_size);
    EXPECT_EQ(L"Tahoma", dialog->typeface);
    EXPECT_EQ((std::vector<int16_t>{10, 20, 140, 100}),
              (std::vector<int16_t>{dialog->x, dialog->y, dialog->cx, dialog->cy}));
    ASSERT_EQ(4u, dialog->items.size());
    const DialogItemTemplate& first = dialog->items[0];
    EXPECT_EQ(static_cast<uint32_t>(IDC_FIRST), first.id);
    EXPECT_EQ(L"TESTCONTROL", first.window_class.text);  // the compiler writes names in capitals
    EXPECT_EQ(L"Первый", first.text.text);
    EXPECT_EQ(static_cast<uint32_t>(WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_GROUP), first.style);
    EXPECT_EQ((std::vector<int16_t>{4, 8, 60, 12}),
              (std::vector<int16_t>{first.x, first.y, first.cx, first.cy}));
    EXPECT_EQ(0xFFFFu, dialog->items[3].id);  // -1 in a 16-bit id
    EXPECT_TRUE(dialog->items[2].style & WS_DISABLED);
}

TEST_F(TemplateTest, ReadsAnExtendedTemplateWithHelpIdsAndFontDetails) {
    std::optional<DialogTemplate> dialog = ReadDialogTemplate(TemplateBytes(module_, IDD_EXTENDED));
    ASSERT_TRUE(dialog);
    EXPECT_TRUE(dialog->extended);
    EXPECT_EQ(77u, dialog->help_id);
    EXPECT_EQ(static_cast<uint32_t>(WS_EX_CONTROLPARENT), dialog->ex_style);
    EXPECT_EQ(L"Расширенный", dialog->caption);
    EXPECT_EQ(9, dialog->point_size);
    EXPECT_EQ(700, dialog->weight);
    EXPECT_TRUE(dialog->italic);
    EXPECT_EQ(204, dialog->charset);
    ASSERT_EQ(2u, dialog->items.size());
    EXPECT_EQ(5001u, dialog->items[0].help_id);
    EXPECT_EQ(static_cast<uint32_t>(WS_EX_STATICEDGE), dialog->items[0].ex_style);
    EXPECT_EQ(L"Кнопка", dialog->items[0].text.text);
}

TEST_F(TemplateTest, EveryTruncatedTemplateIsRefused) {
    for (int id : {IDD_PLAIN, IDD_EXTENDED}) {
        std::span<const std::byte> whole = TemplateBytes(module_, id);
        ASSERT_FALSE(whole.empty());
        // The last item's end: the shortest length that reads (the rest is padding).
        size_t complete = whole.size();
        while (complete > 0 && ReadDialogTemplate(whole.first(complete - 1))) {
            --complete;
        }
        EXPECT_GE(complete + 4, whole.size()) << "template " << id;
        for (size_t length = 0; length < complete; ++length) {
            // A copy of exactly that length: a read past it would be caught by the sanitizer.
            std::vector<std::byte> cut(whole.begin(), whole.begin() + static_cast<long>(length));
            EXPECT_FALSE(ReadDialogTemplate(cut)) << "template " << id << " cut to " << length;
        }
    }
}

TEST_F(TemplateTest, MalformedTemplatesAreRefused) {
    std::span<const std::byte> whole = TemplateBytes(module_, IDD_EXTENDED);
    std::vector<std::byte> version_two(whole.begin(), whole.end());
    version_two[0] = std::byte{2};
    EXPECT_FALSE(ReadDialogTemplate(version_two));

    std::span<const std::byte> plain = TemplateBytes(module_, IDD_PLAIN);
    std::vector<std::byte> more_items(plain.begin(), plain.end());
    more_items[8] = std::byte{5};  // five items announced, four there
    EXPECT_FALSE(ReadDialogTemplate(more_items));

    // A caption without its terminating zero up to the end.
    std::vector<std::byte> unterminated(18 + 8, std::byte{0x41});
    std::memset(unterminated.data(), 0, 18);
    unterminated[18] = std::byte{0x41};
    EXPECT_FALSE(ReadDialogTemplate(unterminated));

    SetLastError(0);
    EXPECT_EQ(nullptr, CreateDialogIndirectParamW(
                           module_, reinterpret_cast<LPCDLGTEMPLATEW>(version_two.data()), nullptr,
                           &RecordingDialogProc, 0));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), GetLastError());
}

TEST_F(TemplateTest, ResourcesAreFoundByNumberNameAndType) {
    SetLastError(0);
    EXPECT_EQ(nullptr, FindResourceW(module_, MAKEINTRESOURCEW(999), RT_DIALOG));
    EXPECT_EQ(static_cast<DWORD>(ERROR_RESOURCE_NAME_NOT_FOUND), GetLastError());
    EXPECT_EQ(nullptr, FindResourceW(module_, MAKEINTRESOURCEW(1), RT_MENU));
    EXPECT_EQ(static_cast<DWORD>(ERROR_RESOURCE_TYPE_NOT_FOUND), GetLastError());
    HRSRC by_text = FindResourceW(module_, L"#101", MAKEINTRESOURCEW(5));
    EXPECT_EQ(FindResourceW(module_, MAKEINTRESOURCEW(IDD_PLAIN), RT_DIALOG), by_text);
    EXPECT_NE(nullptr, FindResourceW(module_, L"hi_res_aware", L"CEUX"));
    EXPECT_TRUE(IsHighResolutionAware(module_));

    HBITMAP bitmap = LoadBitmapW(module_, MAKEINTRESOURCEW(IDB_TEST));
    BITMAP info{};
    ASSERT_EQ(static_cast<int>(sizeof info), GetObjectW(bitmap, sizeof info, &info));
    EXPECT_EQ(4, info.bmWidth);
    EXPECT_EQ(2, info.bmHeight);
    EXPECT_EQ(24, info.bmBitsPixel);
    EXPECT_TRUE(DeleteObject(bitmap));
    HICON icon = LoadIconW(module_, MAKEINTRESOURCEW(IDI_TEST));
    ASSERT_TRUE(ImageOf(icon));
    EXPECT_EQ(16, ImageOf(icon)->height);  // the mask's half is not the icon's
    EXPECT_TRUE(DestroyIcon(icon));
    EXPECT_FALSE(ImageOf(icon));
    EXPECT_NE(nullptr, LoadIconW(nullptr, IDI_APPLICATION));
}

TEST_F(TemplateTest, DialogBaseUnitsComeFromTheDialogFont) {
    // DejaVu Sans Condensed standing for Tahoma at 192 dpi.
    EXPECT_EQ(MAKELONG(12, 25), GetDialogBaseUnits());
    EXPECT_EQ(13, BaseUnitsForPoints(9).x);
    EXPECT_EQ(29, BaseUnitsForPoints(9).y);

    HWND plain = Make(IDD_PLAIN);
    ASSERT_NE(nullptr, plain);
    RECT rect{4, 8, 64, 20};
    ASSERT_TRUE(MapDialogRect(plain, &rect));
    EXPECT_EQ((std::vector<LONG>{12, 25, 192, 63}),
              (std::vector<LONG>{rect.left, rect.top, rect.right, rect.bottom}));
    // The controls are placed with the same units, in the dialog's client area.
    RECT first{};
    GetWindowRect(Item(plain, IDC_FIRST), &first);
    MapWindowPoints(nullptr, plain, reinterpret_cast<POINT*>(&first), 2);
    EXPECT_EQ((std::vector<LONG>{12, 25, 192, 63}),
              (std::vector<LONG>{first.left, first.top, first.right, first.bottom}));
    RECT client{};
    GetClientRect(plain, &client);
    EXPECT_EQ(140 * 12 / 4, client.right);
    EXPECT_EQ((100 * 25 + 4) / 8, client.bottom);
}

}  // namespace
}  // namespace tovarin::gwes::testing
