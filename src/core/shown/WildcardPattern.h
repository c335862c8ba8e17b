#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// A shell wildcard pattern matched against a whole text, case-sensitive, with Python's
// fnmatch.fnmatchcase as the reference: "*" matches any run of characters, "/" included, "?" one
// character, "[...]" one character of a set ("[!...]" one not in it, "a-z" ranges, a "[" without
// its "]" stands for itself). Characters are Unicode code points of UTF-8 text; a byte that is
// not part of valid UTF-8 counts as one character of its own.
class WildcardPattern {
public:
    explicit WildcardPattern(std::string_view pattern);

    const std::string& text() const { return m_text; }
    bool matches(std::string_view text) const;
    // For callers that decode once and match several patterns: text as decodeUtf8 gives it.
    bool matches(const std::u32string& text) const;

    // Code points of UTF-8 text; each byte of an invalid sequence becomes 0xDC00 + byte, as
    // Python's surrogateescape decodes file names.
    static void decodeUtf8(std::string_view text, std::u32string& out);

private:
    // One character of the pattern: a literal, "?", a set, or "*".
    struct Range {
        char32_t low;
        char32_t high;
    };
    struct Token {
        enum Kind : uint8_t { Literal, AnyOne, Set, Star } kind;
        char32_t literal = 0;
        bool negated = false;
        uint32_t firstRange = 0;  // into m_ranges
        uint32_t rangeCount = 0;
    };

    size_t parseSet(const std::u32string& pattern, size_t open);
    bool tokenMatches(const Token& token, char32_t c) const;

    std::string m_text;
    std::vector<Token> m_tokens;
    std::vector<Range> m_ranges;
};
