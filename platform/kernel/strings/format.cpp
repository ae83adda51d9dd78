// The format parser: splits the format into literal text and conversions, reads each
// conversion's argument with the device's sizes and hands it to a field writer.
#include "kernel/strings/format.h"

#include <algorithm>
#include <climits>
#include <cstdint>

#include "kernel/strings/bounded_writer.h"
#include "kernel/strings/field_writers.h"
#include "host/text.h"

namespace tovarin::strings {

namespace {

// Width and precision numbers stop growing here; no buffer is that large.
constexpr size_t kNumberLimit = INT_MAX;

// The size prefix of a conversion. On the device "l" is 32 bits (LONG, DWORD), and for text and
// characters it means wide.
enum class ArgSize {
    kDefault,
    kChar,       // hh
    kShort,      // h: 16-bit numbers, narrow text
    kLong,       // l, w, I32: 32-bit numbers, wide text
    kLongLong,   // ll, I64, j: 64-bit numbers
    kPointer,    // I, z, t: pointer-sized numbers
    kLongDouble  // L: long double
};

// The caller's va_list, copied so that reading it leaves the caller's copy as it was.
class Arguments {
  public:
    explicit Arguments(va_list args) { va_copy(args_, args); }
    ~Arguments() { va_end(args_); }
    Arguments(const Arguments&) = delete;
    Arguments& operator=(const Arguments&) = delete;

    template <typename T>
    T Next() {
        return va_arg(args_, T);
    }

  private:
    va_list args_;
};

size_t ParseNumber(const wchar_t*& p) {
    size_t value = 0;
    for (; *p >= L'0' && *p <= L'9'; ++p) {
        value = std::min(value * 10 + static_cast<size_t>(*p - L'0'), kNumberLimit);
    }
    return value;
}

void ParseFlags(const wchar_t*& p, FieldSpec& spec) {
    for (;; ++p) {
        switch (*p) {
            case L'-':
                spec.left_align = true;
                break;
            case L'+':
                spec.plus_sign = true;
                break;
            case L' ':
                spec.space_sign = true;
                break;
            case L'#':
                spec.alternate = true;
                break;
            case L'0':
                spec.zero_pad = true;
                break;
            default:
                return;
        }
    }
}

void ParseWidthAndPrecision(const wchar_t*& p, FieldSpec& spec, Arguments& args) {
    if (*p == L'*') {
        ++p;
        // A negative width from the arguments means '-' with its magnitude.
        const long long width = args.Next<int>();
        if (width < 0) {
            spec.left_align = true;
        }
        spec.width = std::min(static_cast<size_t>(width < 0 ? -width : width), kNumberLimit);
    } else {
        spec.width = ParseNumber(p);
    }
    if (*p != L'.') {
        return;
    }
    ++p;
    if (*p == L'*') {
        ++p;
        // A negative precision from the arguments counts as none.
        const int precision = args.Next<int>();
        if (precision >= 0) {
            spec.precision = static_cast<size_t>(precision);
        }
    } else {
        spec.precision = ParseNumber(p);
    }
}

ArgSize ParseSize(const wchar_t*& p) {
    switch (*p) {
        case L'h':
            ++p;
            if (*p == L'h') {
                ++p;
                return ArgSize::kChar;
            }
            return ArgSize::kShort;
        case L'l':
            ++p;
            if (*p == L'l') {
                ++p;
                return ArgSize::kLongLong;
            }
            return ArgSize::kLong;
        case L'w':
            ++p;
            return ArgSize::kLong;
        case L'L':
            ++p;
            return ArgSize::kLongDouble;
        case L'j':
            ++p;
            return ArgSize::kLongLong;
        case L'z':
        case L't':
            ++p;
            return ArgSize::kPointer;
        case L'I':
            ++p;
            if (p[0] == L'6' && p[1] == L'4') {
                p += 2;
                return ArgSize::kLongLong;
            }
            if (p[0] == L'3' && p[1] == L'2') {
                p += 2;
                return ArgSize::kLong;
            }
            return ArgSize::kPointer;
        default:
            return ArgSize::kDefault;
    }
}

int64_t NextSigned(Arguments& args, ArgSize size) {
    switch (size) {
        case ArgSize::kChar:
            return static_cast<signed char>(args.Next<int>());
        case ArgSize::kShort:
            return static_cast<int16_t>(args.Next<int>());
        case ArgSize::kLongLong:
        case ArgSize::kLongDouble:
            return args.Next<long long>();
        case ArgSize::kPointer:
            return args.Next<intptr_t>();
        case ArgSize::kDefault:
        case ArgSize::kLong:
            break;
    }
    return static_cast<int32_t>(args.Next<int>());
}

uint64_t NextUnsigned(Arguments& args, ArgSize size) {
    switch (size) {
        case ArgSize::kChar:
            return static_cast<unsigned char>(args.Next<unsigned>());
        case ArgSize::kShort:
            return static_cast<uint16_t>(args.Next<unsigned>());
        case ArgSize::kLongLong:
        case ArgSize::kLongDouble:
            return args.Next<unsigned long long>();
        case ArgSize::kPointer:
            return args.Next<uintptr_t>();
        case ArgSize::kDefault:
        case ArgSize::kLong:
            break;
    }
    return static_cast<uint32_t>(args.Next<unsigned>());
}

// %s and %c are wide unless "h" makes them narrow; %S and %C are narrow unless "l" or "w" makes
// them wide.
bool IsNarrowText(wchar_t conversion, ArgSize size) {
    if (size == ArgSize::kShort || size == ArgSize::kChar) {
        return true;
    }
    if (size == ArgSize::kLong) {
        return false;
    }
    return conversion == L'S' || conversion == L'C';
}

void WriteConversion(BoundedWriter& writer, const FieldSpec& spec, ArgSize size, wchar_t conversion,
                     Arguments& args) {
    switch (conversion) {
        case L'd':
        case L'i': {
            const int64_t value = NextSigned(args, size);
            const uint64_t magnitude =
                value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
            WriteInteger(writer, spec, magnitude, value < 0, 10, false, true);
            return;
        }
        case L'u':
            WriteInteger(writer, spec, NextUnsigned(args, size), false, 10, false, false);
            return;
        case L'x':
        case L'X':
            WriteInteger(writer, spec, NextUnsigned(args, size), false, 16, conversion == L'X',
                         false);
            return;
        case L'o':
            WriteInteger(writer, spec, NextUnsigned(args, size), false, 8, false, false);
            return;
        case L'p':
            WritePointer(writer, spec, args.Next<void*>());
            return;
        case L'e':
        case L'E':
        case L'f':
        case L'F':
        case L'g':
        case L'G': {
            const long double value =
                size == ArgSize::kLongDouble ? args.Next<long double>() : args.Next<double>();
            WriteFloat(writer, spec, value, static_cast<char>(conversion));
            return;
        }
        case L's':
        case L'S':
            if (IsNarrowText(conversion, size)) {
                WriteNarrowText(writer, spec, args.Next<const char*>());
            } else {
                WriteWideText(writer, spec, args.Next<const wchar_t*>());
            }
            return;
        case L'c':
        case L'C':
            if (IsNarrowText(conversion, size)) {
                // One byte of UTF-8: ASCII stays, any other byte is not a whole character.
                const char narrow[2] = {static_cast<char>(args.Next<int>()), '\0'};
                wchar_t c = L'\0';
                DecodeUtf8(narrow, &c);
                WriteCharacter(writer, spec, c);
            } else {
                WriteCharacter(writer, spec, static_cast<wchar_t>(args.Next<int>()));
            }
            return;
        case L'n':
            // Writing a count through a pointer is refused; the pointer is still taken so that
            // the arguments after it stay in place.
            args.Next<void*>();
            return;
        default:
            // "%%", and any character that means nothing after '%', is copied as it is.
            writer.Put(conversion);
            return;
    }
}

}  // namespace

int FormatV(wchar_t* out, size_t cch, const wchar_t* fmt, va_list args, bool* truncated) {
    BoundedWriter writer(out, cch);
    if (fmt) {
        Arguments arguments(args);
        const wchar_t* p = fmt;
        // Once something did not fit nothing more can be written, so the rest is not read.
        while (*p != L'\0' && !writer.truncated()) {
            if (*p != L'%') {
                writer.Put(*p++);
                continue;
            }
            ++p;
            FieldSpec spec;
            ParseFlags(p, spec);
            ParseWidthAndPrecision(p, spec, arguments);
            const ArgSize size = ParseSize(p);
            if (*p == L'\0') {
                break;  // a format that ends inside a conversion prints nothing for it
            }
            WriteConversion(writer, spec, size, *p++, arguments);
        }
    }
    writer.Terminate();
    if (truncated) {
        *truncated = writer.truncated();
    }
    return static_cast<int>(std::min<size_t>(writer.written(), INT_MAX));
}

}  // namespace tovarin::strings
