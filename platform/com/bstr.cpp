// BSTR allocation. A BSTR is one heap block: a 32-bit byte count, the characters and a null
// terminator; the caller's pointer is the first character, just after the count.
#include "com/bstr.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace tovarin::com {
namespace {

using ByteCount = uint32_t;

ByteCount* BlockOf(BSTR text) {
    return reinterpret_cast<ByteCount*>(text) - 1;
}

BSTR Allocate(const OLECHAR* source, size_t length) {
    constexpr size_t kMaxLength = std::numeric_limits<ByteCount>::max() / sizeof(OLECHAR) - 1;
    if (length > kMaxLength) {
        return nullptr;
    }
    const size_t bytes = length * sizeof(OLECHAR);
    void* block = std::malloc(sizeof(ByteCount) + bytes + sizeof(OLECHAR));
    if (block == nullptr) {
        return nullptr;
    }
    *static_cast<ByteCount*>(block) = static_cast<ByteCount>(bytes);
    auto* text = reinterpret_cast<OLECHAR*>(static_cast<ByteCount*>(block) + 1);
    if (source != nullptr) {
        std::memcpy(text, source, bytes);
    } else {
        // The contents are the caller's to fill; zeroing keeps them from being garbage.
        std::memset(text, 0, bytes);
    }
    text[length] = L'\0';
    return text;
}

}  // namespace

BSTR AllocBstr(std::wstring_view text) {
    return Allocate(text.data(), text.size());
}

std::wstring_view BstrView(BSTR text) {
    return text == nullptr ? std::wstring_view() : std::wstring_view(text, SysStringLen(text));
}

HRESULT ReturnBstr(std::wstring_view text, BSTR* out) {
    *out = AllocBstr(text);
    return *out != nullptr ? S_OK : E_OUTOFMEMORY;
}

}  // namespace tovarin::com

using tovarin::com::BlockOf;

BSTR SysAllocString(const OLECHAR* psz) {
    if (psz == nullptr) {
        return nullptr;
    }
    return tovarin::com::AllocBstr(psz);
}

BSTR SysAllocStringLen(const OLECHAR* strIn, UINT ui) {
    return tovarin::com::Allocate(strIn, ui);
}

INT SysReAllocString(BSTR* pbstr, const OLECHAR* psz) {
    if (pbstr == nullptr) {
        return FALSE;
    }
    BSTR copy = nullptr;
    if (psz != nullptr) {
        copy = tovarin::com::AllocBstr(psz);
        if (copy == nullptr) {
            return FALSE;
        }
    }
    SysFreeString(*pbstr);
    *pbstr = copy;
    return TRUE;
}

void SysFreeString(BSTR bstrString) {
    if (bstrString != nullptr) {
        std::free(BlockOf(bstrString));
    }
}

UINT SysStringByteLen(BSTR bstr) {
    return bstr == nullptr ? 0 : *BlockOf(bstr);
}

UINT SysStringLen(BSTR pbstr) {
    return SysStringByteLen(pbstr) / sizeof(OLECHAR);
}
