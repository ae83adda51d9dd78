#include "kernel/strings/field_writers.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <new>

#include "host/text.h"

namespace tovarin::strings {

namespace {

// Digits of a float beyond this precision are not printed; the device's formats ask for a few.
constexpr int kMaxFloatPrecision = 512;

constexpr wchar_t kNullText[] = L"(null)";

// Writes a field of `length` characters that `body` produces, padded to the width with `pad`
// before it, or with spaces after it when the field is left-aligned.
template <typename Body>
void WritePadded(BoundedWriter& writer, const FieldSpec& spec, size_t length, wchar_t pad,
                 Body&& body) {
    const size_t padding = spec.width > length ? spec.width - length : 0;
    if (!spec.left_align) {
        writer.Repeat(pad, padding);
    }
    body();
    if (spec.left_align) {
        writer.Repeat(L' ', padding);
    }
}

// The device pads text and characters with zeros too when the '0' flag asks for it.
wchar_t TextPad(const FieldSpec& spec) {
    return spec.zero_pad && !spec.left_align ? L'0' : L' ';
}

}  // namespace

void WriteInteger(BoundedWriter& writer, const FieldSpec& spec, uint64_t magnitude, bool negative,
                  unsigned base, bool upper_case, bool signed_conversion) {
    const wchar_t* alphabet = upper_case ? L"0123456789ABCDEF" : L"0123456789abcdef";
    wchar_t digits[64];  // least significant first; 64 octal digits would hold any 64-bit value
    size_t digit_count = 0;
    for (uint64_t rest = magnitude; rest != 0; rest /= base) {
        digits[digit_count++] = alphabet[rest % base];
    }

    wchar_t prefix[2];
    size_t prefix_length = 0;
    if (signed_conversion && negative) {
        prefix[prefix_length++] = L'-';
    } else if (signed_conversion && spec.plus_sign) {
        prefix[prefix_length++] = L'+';
    } else if (signed_conversion && spec.space_sign) {
        prefix[prefix_length++] = L' ';
    }
    if (spec.alternate && base == 16 && magnitude != 0) {
        prefix[prefix_length++] = L'0';
        prefix[prefix_length++] = upper_case ? L'X' : L'x';
    }

    // The precision is the least number of digits; a zero with precision 0 prints no digit.
    size_t min_digits = spec.precision.value_or(1);
    if (spec.alternate && base == 8 && min_digits <= digit_count) {
        min_digits = digit_count + 1;  // octal with '#' always starts with 0
    }
    size_t zeros = min_digits > digit_count ? min_digits - digit_count : 0;
    if (spec.zero_pad && !spec.left_align && !spec.precision) {
        const size_t used = prefix_length + zeros + digit_count;
        zeros += spec.width > used ? spec.width - used : 0;
    }

    WritePadded(writer, spec, prefix_length + zeros + digit_count, L' ', [&] {
        writer.Append(prefix, prefix_length);
        writer.Repeat(L'0', zeros);
        for (size_t i = digit_count; i > 0; --i) {
            writer.Put(digits[i - 1]);
        }
    });
}

void WritePointer(BoundedWriter& writer, const FieldSpec& spec, const void* pointer) {
    FieldSpec pointer_spec = spec;
    pointer_spec.precision = std::max(spec.precision.value_or(0), 2 * sizeof(void*));
    WriteInteger(writer, pointer_spec, reinterpret_cast<uintptr_t>(pointer), false, 16, true,
                 false);
}

void WriteFloat(BoundedWriter& writer, const FieldSpec& spec, long double value, char style) {
    // The C library gives the sign and the digits; the width and the zero fill are laid out here,
    // so that a large width costs no more than the room left in the buffer.
    char format[12];
    char* f = format;
    *f++ = '%';
    if (spec.plus_sign) {
        *f++ = '+';
    } else if (spec.space_sign) {
        *f++ = ' ';
    }
    if (spec.alternate) {
        *f++ = '#';
    }
    *f++ = '.';
    *f++ = '*';
    *f++ = 'L';
    *f++ = style;
    *f = '\0';
    const int precision =
        spec.precision ? static_cast<int>(std::min<size_t>(*spec.precision, kMaxFloatPrecision))
                       : -1;

    char small[128];
    const int needed = std::snprintf(small, sizeof small, format, precision, value);
    if (needed < 0) {
        return;
    }
    std::unique_ptr<char[]> large;
    const char* text = small;
    if (static_cast<size_t>(needed) >= sizeof small) {
        large.reset(new (std::nothrow) char[static_cast<size_t>(needed) + 1]);
        if (!large) {
            return;
        }
        std::snprintf(large.get(), static_cast<size_t>(needed) + 1, format, precision, value);
        text = large.get();
    }

    const size_t length = static_cast<size_t>(needed);
    const size_t sign_length = (text[0] == '-' || text[0] == '+' || text[0] == ' ') ? 1 : 0;
    size_t zeros = 0;
    if (spec.zero_pad && !spec.left_align && std::isfinite(value) && spec.width > length) {
        zeros = spec.width - length;
    }
    WritePadded(writer, spec, length + zeros, L' ', [&] {
        for (size_t i = 0; i < length; ++i) {
            if (i == sign_length) {
                writer.Repeat(L'0', zeros);
            }
            writer.Put(static_cast<wchar_t>(static_cast<unsigned char>(text[i])));
        }
    });
}

void WriteWideText(BoundedWriter& writer, const FieldSpec& spec, const wchar_t* text) {
    if (!text) {
        text = kNullText;
    }
    const size_t limit = spec.precision.value_or(SIZE_MAX);
    size_t length = 0;
    while (length < limit && text[length] != L'\0') {
        ++length;
    }
    WritePadded(writer, spec, length, TextPad(spec), [&] { writer.Append(text, length); });
}

void WriteNarrowText(BoundedWriter& writer, const FieldSpec& spec, const char* text) {
    if (!text) {
        WriteWideText(writer, spec, nullptr);
        return;
    }
    // Counted first, for the padding, then decoded again as it is written; neither pass reads
    // further than the precision allows.
    const size_t limit = spec.precision.value_or(SIZE_MAX);
    auto for_each_character = [&](auto&& use) {
        const char* p = text;
        for (size_t taken = 0; taken < limit; ++taken) {
            wchar_t c;
            const size_t bytes = DecodeUtf8(p, &c);
            if (bytes == 0) {
                return;
            }
            use(c);
            p += bytes;
        }
    };
    size_t length = 0;
    for_each_character([&](wchar_t) { ++length; });
    WritePadded(writer, spec, length, TextPad(spec),
                [&] { for_each_character([&](wchar_t c) { writer.Put(c); }); });
}

void WriteCharacter(BoundedWriter& writer, const FieldSpec& spec, wchar_t c) {
    WritePadded(writer, spec, 1, TextPad(spec), [&] { writer.Put(c); });
}

}  // namespace tovarin::strings
