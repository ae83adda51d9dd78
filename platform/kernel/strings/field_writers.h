// Writers for one conversion of a format: they lay out the converted value in its field (sign,
// prefix, zeros, padding) and hand the characters to a BoundedWriter.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "kernel/strings/bounded_writer.h"

namespace tovarin::strings {

// The flags, width and precision of one conversion.
struct FieldSpec {
    bool left_align = false;  // '-': pad on the right
    bool plus_sign = false;   // '+': '+' before non-negative signed numbers
    bool space_sign = false;  // ' ': a space there instead (when '+' is absent)
    bool alternate = false;   // '#': 0x/0X before hex, a leading 0 for octal, a point for floats
    bool zero_pad = false;    // '0': pad with zeros after the sign instead of spaces before it
    size_t width = 0;
    std::optional<size_t> precision;
};

// An integer given as its magnitude and sign. base is 8, 10 or 16; signed_conversion says
// whether '+' and ' ' apply (they do not for unsigned, octal and hex conversions).
void WriteInteger(BoundedWriter& writer, const FieldSpec& spec, uint64_t magnitude, bool negative,
                  unsigned base, bool upper_case, bool signed_conversion);

// A pointer as the device prints it: upper-case hex digits, zero-filled to the pointer's width.
void WritePointer(BoundedWriter& writer, const FieldSpec& spec, const void* pointer);

// A floating-point number in the %e %E %f %F %g %G styles.
void WriteFloat(BoundedWriter& writer, const FieldSpec& spec, long double value, char style);

// Wide or narrow text; the precision is the greatest number of characters taken. A null pointer
// prints "(null)". With a precision the text need not be terminated.
void WriteWideText(BoundedWriter& writer, const FieldSpec& spec, const wchar_t* text);
void WriteNarrowText(BoundedWriter& writer, const FieldSpec& spec, const char* text);

// One character, already widened.
void WriteCharacter(BoundedWriter& writer, const FieldSpec& spec, wchar_t c);

}  // namespace tovarin::strings
