#include "gwes/dialogs/dialog_template.h"

#include "kernel/strings/utf16.h"

namespace tovarin::gwes {
namespace {

constexpr uint16_t kNumberMark = 0xFFFF;
constexpr uint32_t kSetFont = 0x40;   // DS_SETFONT
constexpr uint32_t kFixedSys = 0x08;  // DS_FIXEDSYS (with DS_SETFONT: DS_SHELLFONT)
constexpr size_t kMaxItems = 0xFFFF;

// Sequential little-endian reads inside the template's bytes. A read past the end fails and
// the reader stays failed, so a parse can check once at the end of each record.
class Reader {
  public:
    explicit Reader(std::span<const std::byte> bytes) : bytes_(bytes) {}

    bool ok() const { return ok_; }
    size_t offset() const { return offset_; }
    size_t left() const { return ok_ ? bytes_.size() - offset_ : 0; }

    uint8_t Byte() {
        if (!Need(1)) {
            return 0;
        }
        return std::to_integer<uint8_t>(bytes_[offset_++]);
    }
    uint16_t Word() {
        if (!Need(2)) {
            return 0;
        }
        uint16_t value = static_cast<uint16_t>(std::to_integer<uint16_t>(bytes_[offset_]) |
                                               std::to_integer<uint16_t>(bytes_[offset_ + 1]) << 8);
        offset_ += 2;
        return value;
    }
    int16_t Short() { return static_cast<int16_t>(Word()); }
    uint32_t Dword() {
        uint32_t low = Word();
        uint32_t high = Word();
        return low | high << 16;
    }
    // A zero-terminated UTF-16 string (surrogate pairs joined, a lone surrogate kept).
    std::wstring String() {
        std::u16string units;
        for (uint16_t unit = Word(); ok_ && unit != 0; unit = Word()) {
            units.push_back(static_cast<char16_t>(unit));
        }
        return kernel::Utf16ToWide(units, kernel::LoneSurrogates::Keep);
    }
    NameOrNumber NameOrNumberField() {
        NameOrNumber field;
        if (left() < 2) {
            ok_ = false;
            return field;
        }
        uint16_t first = PeekWord();
        if (first == 0) {
            Word();
        } else if (first == kNumberMark) {
            Word();
            field.number = Word();
        } else {
            field.text = String();
        }
        return field;
    }
    std::vector<std::byte> Bytes(size_t count) {
        if (!Need(count)) {
            return {};
        }
        std::vector<std::byte> copy(bytes_.begin() + static_cast<ptrdiff_t>(offset_),
                                    bytes_.begin() + static_cast<ptrdiff_t>(offset_ + count));
        offset_ += count;
        return copy;
    }
    void AlignTo(size_t alignment) {
        size_t aligned = (offset_ + alignment - 1) / alignment * alignment;
        // The padding after the last record may be missing: align only within the bytes.
        offset_ = std::min(aligned, bytes_.size());
    }
    void Fail() { ok_ = false; }

  private:
    bool Need(size_t count) {
        if (!ok_ || bytes_.size() - offset_ < count) {
            ok_ = false;
            return false;
        }
        return true;
    }
    uint16_t PeekWord() const {
        return static_cast<uint16_t>(std::to_integer<uint16_t>(bytes_[offset_]) |
                                     std::to_integer<uint16_t>(bytes_[offset_ + 1]) << 8);
    }

    std::span<const std::byte> bytes_;
    size_t offset_ = 0;
    bool ok_ = true;
};

void ReadCreationData(Reader& reader, bool extended, DialogItemTemplate& item) {
    const uint16_t size = reader.Word();
    if (size == 0) {
        return;
    }
    if (extended) {
        item.creation_data = reader.Bytes(size);  // the bytes that follow the count
        return;
    }
    if (size < 2) {
        reader.Fail();  // the count includes itself
        return;
    }
    item.creation_data = reader.Bytes(size - 2u);
}

}  // namespace

std::wstring PredefinedClassName(uint16_t atom) {
    switch (atom) {
        case 0x0080:
            return L"BUTTON";
        case 0x0081:
            return L"EDIT";
        case 0x0082:
            return L"STATIC";
        case 0x0083:
            return L"LISTBOX";
        case 0x0084:
            return L"SCROLLBAR";
        case 0x0085:
            return L"COMBOBOX";
        default:
            return {};
    }
}

std::optional<DialogTemplate> ReadDialogTemplate(std::span<const std::byte> bytes) {
    Reader reader(bytes);
    DialogTemplate dialog;
    uint16_t count = 0;
    if (bytes.size() >= 4 && std::to_integer<uint8_t>(bytes[2]) == 0xFF &&
        std::to_integer<uint8_t>(bytes[3]) == 0xFF) {
        dialog.extended = true;
        if (reader.Word() != 1) {
            return std::nullopt;  // only version 1 exists
        }
        reader.Word();
        dialog.help_id = reader.Dword();
        dialog.ex_style = reader.Dword();
        dialog.style = reader.Dword();
    } else {
        dialog.style = reader.Dword();
        dialog.ex_style = reader.Dword();
    }
    count = reader.Word();
    dialog.x = reader.Short();
    dialog.y = reader.Short();
    dialog.cx = reader.Short();
    dialog.cy = reader.Short();
    dialog.menu = reader.NameOrNumberField();
    dialog.window_class = reader.NameOrNumberField();
    dialog.caption = reader.String();
    if (dialog.style & kSetFont) {
        dialog.has_font = true;
        dialog.point_size = reader.Word();
        if (dialog.extended) {
            dialog.weight = reader.Word();
            dialog.italic = reader.Byte() != 0;
            dialog.charset = reader.Byte();
        }
        dialog.typeface = reader.String();
    }
    (void)kFixedSys;
    if (!reader.ok() || count > kMaxItems) {
        return std::nullopt;
    }
    dialog.items.reserve(count);
    for (uint16_t index = 0; index < count; ++index) {
        reader.AlignTo(4);
        DialogItemTemplate item;
        if (dialog.extended) {
            item.help_id = reader.Dword();
            item.ex_style = reader.Dword();
            item.style = reader.Dword();
        } else {
            item.style = reader.Dword();
            item.ex_style = reader.Dword();
        }
        item.x = reader.Short();
        item.y = reader.Short();
        item.cx = reader.Short();
        item.cy = reader.Short();
        item.id = dialog.extended ? reader.Dword() : reader.Word();
        item.window_class = reader.NameOrNumberField();
        item.text = reader.NameOrNumberField();
        ReadCreationData(reader, dialog.extended, item);
        if (!reader.ok()) {
            return std::nullopt;
        }
        if (item.window_class.absent()) {
            return std::nullopt;  // every control names its class
        }
        dialog.items.push_back(std::move(item));
    }
    return dialog;
}

}  // namespace tovarin::gwes
