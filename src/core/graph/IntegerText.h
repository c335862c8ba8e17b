#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The three ways a data file's numbers are read, each refusing what would not fit 32 bits
// instead of wrapping silently.

// The whole string is a decimal number that fits 32 bits unsigned ("+5" is accepted; a minus
// sign, white space or trailing text is not).
bool parseStrictUnsigned(const std::string& text, uint32_t& value);

enum class LenientResult { Ok, NoDigits, OutOfRange };

// atoi: leading white space, optional sign, digits, the rest ignored; no digits gives 0 and
// NoDigits. A number outside 32-bit signed range is OutOfRange.
LenientResult parseLenientInt(const std::string& text, int32_t& value);

// sscanf "%d": as parseLenientInt, but text without leading digits leaves value unchanged.
LenientResult parseScanfInt(const char* text, int32_t& value);

// A value as an error message quotes it: files can hold values of megabytes, and a message is
// read by a person. At most 64 bytes of text, cut where no UTF-8 sequence is split, and "..."
// when cut.
std::string excerptForMessage(std::string_view text);
