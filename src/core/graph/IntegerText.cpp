#include "IntegerText.h"

#include <boost/lexical_cast.hpp>

#include <cctype>

bool parseStrictUnsigned(const std::string& text, uint32_t& value) {
    // Up to nine digits always fit; files hold millions of such ids, and this is the common case.
    if (!text.empty() && text.size() <= 9) {
        uint32_t number = 0;
        size_t i = 0;
        for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
            number = number * 10 + static_cast<uint32_t>(text[i] - '0');
        }
        if (i == text.size()) {
            value = number;
            return true;
        }
    }
    // Stream extraction of an unsigned number accepts "-1" and wraps it; a file that says -1
    // means no vertex at all.
    if (text.empty() || text[0] == '-') return false;
    try {
        value = boost::lexical_cast<uint32_t>(text);
        return true;
    } catch (const boost::bad_lexical_cast&) {
        return false;
    }
}

namespace {

LenientResult parseLeadingInt(const char* p, int32_t& value) {
    while (std::isspace(static_cast<unsigned char>(*p))) ++p;
    bool negative = false;
    if (*p == '+' || *p == '-') negative = *p++ == '-';
    if (!std::isdigit(static_cast<unsigned char>(*p))) return LenientResult::NoDigits;
    const int64_t limit = negative ? 2147483648LL : 2147483647LL;
    int64_t magnitude = 0;
    for (; std::isdigit(static_cast<unsigned char>(*p)); ++p) {
        magnitude = magnitude * 10 + (*p - '0');
        if (magnitude > limit) return LenientResult::OutOfRange;
    }
    value = static_cast<int32_t>(negative ? -magnitude : magnitude);
    return LenientResult::Ok;
}

}  // namespace

LenientResult parseLenientInt(const std::string& text, int32_t& value) {
    LenientResult result = parseLeadingInt(text.c_str(), value);
    if (result == LenientResult::NoDigits) value = 0;
    return result;
}

LenientResult parseScanfInt(const char* text, int32_t& value) {
    return parseLeadingInt(text, value);
}

std::string excerptForMessage(std::string_view text) {
    constexpr size_t kShown = 64;
    if (text.size() <= kShown) return std::string(text);
    size_t cut = kShown;
    // Continuation bytes (10xxxxxx) belong to the character before them.
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
    return std::string(text.substr(0, cut)) + "...";
}
