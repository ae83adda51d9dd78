// Dialog templates as the resource compiler writes them, DIALOG (DLGTEMPLATE) and DIALOGEX
// (DLGTEMPLATEEX), read into one record.
//
// DLGTEMPLATE: DWORD style, DWORD extended style, WORD item count, short x, y, cx, cy; then the
// menu, the class (each 0x0000 for none, 0xFFFF and a 16-bit number, or a zero-terminated UTF-16
// name) and the caption (zero-terminated); with DS_SETFONT, WORD point size and the typeface.
// Each item starts on a DWORD boundary: DWORD style, DWORD extended style, short x, y, cx, cy,
// WORD id; the class (0xFFFF and a predefined atom, or a name), the text (0xFFFF and a resource
// number, or a string), and WORD creation-data size followed by that data.
//
// DLGTEMPLATEEX starts with WORD version 1 and WORD 0xFFFF, then DWORD help id, DWORD extended
// style, DWORD style, WORD item count, the rectangle, menu, class and caption; its font adds WORD
// weight, BYTE italic and BYTE character set before the typeface. Its items carry DWORD help id,
// DWORD extended style, DWORD style, the rectangle, a DWORD id, class, text and creation data.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace tovarin::gwes {

// A class, menu or text that is either a number (0xFFFF form) or a string.
struct NameOrNumber {
    std::optional<uint16_t> number;
    std::wstring text;
    bool absent() const { return !number && text.empty(); }
};

struct DialogItemTemplate {
    uint32_t help_id = 0;
    uint32_t style = 0;
    uint32_t ex_style = 0;
    int16_t x = 0, y = 0, cx = 0, cy = 0;
    uint32_t id = 0;
    NameOrNumber window_class;  // predefined classes as atoms 0x80..0x85
    NameOrNumber text;
    std::vector<std::byte> creation_data;
};

struct DialogTemplate {
    bool extended = false;
    uint32_t help_id = 0;
    uint32_t style = 0;
    uint32_t ex_style = 0;
    int16_t x = 0, y = 0, cx = 0, cy = 0;
    NameOrNumber menu;
    NameOrNumber window_class;
    std::wstring caption;
    bool has_font = false;
    uint16_t point_size = 0;
    uint16_t weight = 0;
    bool italic = false;
    uint8_t charset = 0;
    std::wstring typeface;
    std::vector<DialogItemTemplate> items;
};

// Reads a template that lies entirely in `bytes`. nullopt when the template is malformed: any
// field or string that does not end inside the bytes, an extended template of another version,
// creation data longer than what is left. Reads nothing outside `bytes`.
std::optional<DialogTemplate> ReadDialogTemplate(std::span<const std::byte> bytes);

// The class name of a predefined control atom (0x0080 "BUTTON" ... 0x0085 "COMBOBOX"); empty for
// other numbers.
std::wstring PredefinedClassName(uint16_t atom);

}  // namespace tovarin::gwes
