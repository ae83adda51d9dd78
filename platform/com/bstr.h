// Helpers for the platform's own use of BSTR strings.
#pragma once

#include <oleauto.h>

#include <string_view>

namespace tovarin::com {

// A new BSTR holding text, or NULL when memory is short.
BSTR AllocBstr(std::wstring_view text);

// The characters of a BSTR; NULL stands for the empty string, as callers may pass it.
std::wstring_view BstrView(BSTR text);

// Stores a new BSTR holding text in *out: S_OK, or E_OUTOFMEMORY with *out NULL.
HRESULT ReturnBstr(std::wstring_view text, BSTR* out);

}  // namespace tovarin::com
