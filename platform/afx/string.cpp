// The framework's string class: the program's scratch strings and resource texts.
#include <afxwin.h>

#include <cstdarg>

namespace {

// A resource string is at most this long (the length field of a string-table entry is 16 bits,
// but the program's texts are short; longer ones are cut as LoadStringW cuts them).
constexpr int kResourceChars = 1024;
constexpr int kFormatChars = 1024;  // wvsprintfW writes at most 1024 characters

}  // namespace

CString& CString::operator=(LPCTSTR text) {
    text_ = text ? text : L"";
    return *this;
}

BOOL CString::LoadString(UINT id) {
    WCHAR buffer[kResourceChars];
    const int length = ::LoadStringW(AfxGetResourceHandle(), id, buffer, kResourceChars);
    text_.assign(buffer, length > 0 ? static_cast<size_t>(length) : 0);
    return length > 0;
}

int CString::Delete(int index, int count) {
    if (index < 0) {
        index = 0;
    }
    if (count > 0 && index < GetLength()) {
        text_.erase(static_cast<size_t>(index), static_cast<size_t>(count));
    }
    return GetLength();
}

CString CString::Left(int count) const {
    if (count <= 0) {
        return CString();
    }
    return CString(text_.substr(0, static_cast<size_t>(count)).c_str());
}

CString CString::Mid(int first) const {
    return Mid(first, GetLength());
}

CString CString::Mid(int first, int count) const {
    if (first < 0) {
        first = 0;
    }
    if (first >= GetLength() || count <= 0) {
        return CString();
    }
    return CString(text_.substr(static_cast<size_t>(first), static_cast<size_t>(count)).c_str());
}

int CString::Compare(LPCTSTR text) const {
    return text_.compare(text ? text : L"");
}

void CString::Format(LPCTSTR format, ...) {
    WCHAR buffer[kFormatChars + 1];
    va_list arguments;
    va_start(arguments, format);
    const int length = ::wvsprintfW(buffer, format, arguments);
    va_end(arguments);
    text_.assign(buffer, length > 0 ? static_cast<size_t>(length) : 0);
}

CString& CString::operator+=(LPCTSTR text) {
    text_ += text ? text : L"";
    return *this;
}
