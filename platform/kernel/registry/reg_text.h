// The text form of a hive: the "Windows Registry Editor Version 5.00" format, UTF-8, one file per
// root, so that a person can read and edit the device's registry.
//
//   Windows Registry Editor Version 5.00
//
//   [HKEY_LOCAL_MACHINE\Software\VarnholtCM\AnswerMachine]
//   "Enable"=dword:00000001
//   "SaveDir"="\\My Documents\\Ответы"
//   @="default value"
//   "Blob"=hex:01,02,ff
//   "List"=hex(7):...
//
// Strings escape only the backslash and the double quote. A string that a quoted line cannot
// carry exactly (no terminating zero, a line break, a zero inside) is written as hex(1) with its
// bytes. As in the registry editor's files, hex(1), hex(2) and hex(7) data are UTF-16LE bytes
// (the host's WCHAR has 4 bytes; the characters are converted both ways). String data that UTF-16
// cannot carry (not whole characters) is written with the device's own bytes after the comment
// line "; the next value's data are the device's own bytes", so that nothing is lost.
//
// The reader also takes the registry editor's export as it is: UTF-16 with a byte-order mark.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "kernel/registry/key_tree.h"

namespace tovarin::kernel::registry {

inline constexpr std::string_view kHiveHeader = "Windows Registry Editor Version 5.00";

// root_name is the name of the root as the file spells it ("HKEY_LOCAL_MACHINE"). Keys under
// "\System\State" are left out. A key or value whose name holds a line break or a zero cannot be
// written; it is left out and its path is added to *skipped.
std::string FormatHive(const KeyNode& root, std::wstring_view root_name,
                       std::vector<std::wstring>* skipped);

struct HiveSyntaxError {
    size_t line = 0;  // 1-based
    std::string message;
};

// Fills root (a fresh, empty root) from the text. Keys under "\System\State" are checked but not
// loaded. On an error the tree holds whatever was read before the faulty line.
std::optional<HiveSyntaxError> ParseHive(std::string_view text, std::wstring_view root_name,
                                         KeyNode& root);

}  // namespace tovarin::kernel::registry
