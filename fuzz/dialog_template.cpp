// The dialog template reader: any bytes as a DIALOG or DIALOGEX resource either read into one
// record whose strings and creation data came out of the bytes, or are refused. The input is
// copied to a buffer of its exact size, so that a read past its end is one ASan reports.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "fuzz_check.h"
#include "gwes/dialogs/dialog_template.h"

using namespace tovarin::gwes;

namespace {

// Bytes a string read from the template took at least: its characters and the terminating zero
// (or the 0xFFFF and number of the numeric form).
size_t BytesOf(const NameOrNumber& name) {
    return name.number ? 4 : (name.text.size() + 1) * 2;
}

bool HasNoZero(const std::wstring& text) {
    return text.find(L'\0') == std::wstring::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<std::byte> bytes(reinterpret_cast<const std::byte*>(data),
                                 reinterpret_cast<const std::byte*>(data) + size);
    const std::optional<DialogTemplate> dialog = ReadDialogTemplate(bytes);
    if (!dialog) {
        return 0;
    }
    if (dialog->extended) {
        FUZZ_CHECK(size >= 4 && data[0] == 1 && data[1] == 0 && data[2] == 0xFF && data[3] == 0xFF);
    }
    FUZZ_CHECK(HasNoZero(dialog->caption) && HasNoZero(dialog->typeface));
    FUZZ_CHECK(dialog->has_font || dialog->typeface.empty());
    // Header: at least the fixed fields, menu, class and caption.
    size_t used = (dialog->extended ? 26 : 18) + BytesOf(dialog->menu) +
                  BytesOf(dialog->window_class) + (dialog->caption.size() + 1) * 2;
    FUZZ_CHECK(used <= size);
    for (const DialogItemTemplate& item : dialog->items) {
        FUZZ_CHECK(HasNoZero(item.window_class.text) && HasNoZero(item.text.text));
        // Each item: its fixed fields, class, text and the creation data size word and data.
        used += (dialog->extended ? 24 : 18) + BytesOf(item.window_class) + BytesOf(item.text) + 2 +
                item.creation_data.size();
        FUZZ_CHECK(used <= size);
    }
    return 0;
}
