#include "WildcardPattern.h"

namespace {

// The length of the valid UTF-8 sequence at text[i] and its code point, or 0 when invalid.
size_t utf8Sequence(std::string_view text, size_t i, char32_t& point) {
    const auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(i);
    size_t length = 0;
    char32_t min = 0;
    if (lead < 0x80) {
        point = lead;
        return 1;
    } else if ((lead & 0xE0) == 0xC0) {
        length = 2, point = lead & 0x1F, min = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, point = lead & 0x0F, min = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, point = lead & 0x07, min = 0x10000;
    } else {
        return 0;
    }
    if (i + length > text.size()) return 0;
    for (size_t k = 1; k < length; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80) return 0;
        point = (point << 6) | (byte(i + k) & 0x3F);
    }
    const bool surrogate = point >= 0xD800 && point <= 0xDFFF;
    return point < min || point > 0x10FFFF || surrogate ? 0 : length;
}

// An item of a set's text as the regular expression Python builds from it would read it: the
// character, and whether it is a bare "-" that joins a range.
struct SetItem {
    char32_t c;
    bool joins;
};

}  // namespace

void WildcardPattern::decodeUtf8(std::string_view text, std::u32string& out) {
    for (size_t i = 0; i < text.size();) {
        char32_t point = 0;
        const size_t length = utf8Sequence(text, i, point);
        if (length == 0) {
            out.push_back(0xDC00 + static_cast<unsigned char>(text[i]));
            ++i;
        } else {
            out.push_back(point);
            i += length;
        }
    }
}

WildcardPattern::WildcardPattern(std::string_view pattern) : m_text(pattern) {
    std::u32string chars;
    decodeUtf8(pattern, chars);
    for (size_t i = 0; i < chars.size();) {
        const char32_t c = chars[i++];
        Token token{Token::Literal};
        if (c == U'*') {
            if (!m_tokens.empty() && m_tokens.back().kind == Token::Star) continue;
            token.kind = Token::Star;
        } else if (c == U'?') {
            token.kind = Token::AnyOne;
        } else if (c == U'[') {
            const size_t next = parseSet(chars, i);
            if (next == i) {
                token.literal = c;  // no closing "]": the "[" itself
            } else {
                i = next;
                continue;
            }
        } else {
            token.literal = c;
        }
        m_tokens.push_back(token);
    }
}

// Follows fnmatch.translate: the set's text is cut at each "-" into chunks (the first "-" may
// not be the set's first character), a range whose ends are in the wrong order is dropped by
// joining its neighbours, and the regular expression's reading of the result decides which "-"
// make ranges. Returns where the pattern goes on after the set, or open when it has no "]".
size_t WildcardPattern::parseSet(const std::u32string& p, size_t open) {
    const size_t n = p.size();
    size_t j = open;
    if (j < n && p[j] == U'!') ++j;
    if (j < n && p[j] == U']') ++j;
    while (j < n && p[j] != U']') ++j;
    if (j >= n) return open;

    std::vector<std::u32string> chunks;
    size_t i = open;
    bool hasHyphen = false;
    for (size_t k = open; k < j; ++k) hasHyphen = hasHyphen || p[k] == U'-';
    if (!hasHyphen) {
        chunks.push_back(p.substr(open, j - open));
    } else {
        size_t k = p[i] == U'!' ? i + 2 : i + 1;
        for (;;) {
            size_t found = k < j ? p.find(U'-', k) : std::u32string::npos;
            if (found == std::u32string::npos || found >= j) break;
            chunks.push_back(p.substr(i, found - i));
            i = found + 1;
            k = found + 3;
        }
        if (i < j) {
            chunks.push_back(p.substr(i, j - i));
        } else {
            chunks.back() += U'-';
        }
        for (size_t k2 = chunks.size() - 1; k2 > 0; --k2) {
            if (chunks[k2 - 1].back() > chunks[k2].front()) {
                chunks[k2 - 1] =
                    chunks[k2 - 1].substr(0, chunks[k2 - 1].size() - 1) + chunks[k2].substr(1);
                chunks.erase(chunks.begin() + static_cast<long>(k2));
            }
        }
    }
    std::vector<SetItem> items;
    for (size_t c = 0; c < chunks.size(); ++c) {
        if (c > 0) items.push_back({U'-', true});
        for (char32_t ch : chunks[c]) items.push_back({ch, false});
    }

    Token token{Token::Set};
    token.firstRange = static_cast<uint32_t>(m_ranges.size());
    if (items.empty()) {
        // An empty set never matches: no ranges, not negated.
    } else if (items.size() == 1 && items[0].c == U'!') {
        token.negated = true;  // "[!]" stands for any character
    } else {
        size_t k = 0;
        if (items[0].c == U'!') {
            token.negated = true;
            k = 1;
        }
        while (k < items.size()) {
            const char32_t low = items[k++].c;
            if (k < items.size() && items[k].joins) {
                if (k + 1 >= items.size()) {
                    m_ranges.push_back({low, low});
                    m_ranges.push_back({U'-', U'-'});
                    break;
                }
                // A range the other way round matches nothing.
                m_ranges.push_back({low, items[k + 1].c});
                k += 2;
            } else {
                m_ranges.push_back({low, low});
            }
        }
    }
    token.rangeCount = static_cast<uint32_t>(m_ranges.size()) - token.firstRange;
    m_tokens.push_back(token);
    return j + 1;
}

bool WildcardPattern::tokenMatches(const Token& token, char32_t c) const {
    switch (token.kind) {
        case Token::Literal:
            return c == token.literal;
        case Token::AnyOne:
            return true;
        case Token::Set: {
            bool inside = false;
            for (uint32_t r = 0; r < token.rangeCount && !inside; ++r) {
                const Range& range = m_ranges[token.firstRange + r];
                inside = range.low <= c && c <= range.high;
            }
            return inside != token.negated;
        }
        case Token::Star:
            break;
    }
    return false;
}

bool WildcardPattern::matches(std::string_view text) const {
    std::u32string chars;
    decodeUtf8(text, chars);
    return matches(chars);
}

// Every token but "*" takes exactly one character, so the leftmost place where the tokens after
// a "*" match is always as good as any later one: on a mismatch only the last "*" takes one
// character more. At most pattern length times text length steps.
bool WildcardPattern::matches(const std::u32string& text) const {
    size_t t = 0, s = 0;
    size_t starToken = SIZE_MAX, starText = 0;
    while (s < text.size()) {
        if (t < m_tokens.size() && m_tokens[t].kind == Token::Star) {
            starToken = t++;
            starText = s;
        } else if (t < m_tokens.size() && tokenMatches(m_tokens[t], text[s])) {
            ++t;
            ++s;
        } else if (starToken != SIZE_MAX) {
            t = starToken + 1;
            s = ++starText;
        } else {
            return false;
        }
    }
    while (t < m_tokens.size() && m_tokens[t].kind == Token::Star) ++t;
    return t == m_tokens.size();
}
