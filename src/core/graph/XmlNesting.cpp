#include "XmlNesting.h"

#include <cctype>
#include <cstring>

namespace {

bool startsWith(std::string_view text, size_t at, std::string_view prefix) {
    return text.compare(at, prefix.size(), prefix) == 0;
}

// The parser takes a letter, an underscore or any byte outside ASCII as the start of a name.
bool opensName(unsigned char c) { return c >= 127 || std::isalpha(c) || c == '_'; }

// Index just past the first occurrence of terminator at or after from, or the end.
size_t skipPast(std::string_view text, size_t from, std::string_view terminator) {
    size_t at = text.find(terminator, from);
    return at == std::string_view::npos ? text.size() : at + terminator.size();
}

// Whether only blanks stand between the start of the line and at.
bool beginsLine(std::string_view text, size_t at) {
    while (at > 0 && (text[at - 1] == ' ' || text[at - 1] == '\t')) --at;
    return at == 0 || text[at - 1] == '\n';
}

// The parser's white space: the C locale's, which includes '\v' and '\f'.
bool isParserSpace(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }

size_t skipSpace(std::string_view text, size_t p) {
    while (p < text.size() && isParserSpace(text[p])) ++p;
    return p;
}

bool startsWithNoCase(std::string_view text, size_t at, std::string_view prefix) {
    if (text.size() - at < prefix.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(text[at + i])) != prefix[i]) return false;
    }
    return true;
}

bool isNameChar(unsigned char c) {
    return c >= 127 || std::isalnum(c) || c == '_' || c == '-' || c == '.' || c == ':';
}

// Bytes the parser takes for the UTF-8 sequence a lead byte announces, whatever follows it.
size_t utf8SequenceLength(unsigned char c) {
    return c < 0xC2 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : c < 0xF5 ? 4 : 1;
}

// How the parser reads the characters of text and of quoted attribute values.
struct CharReader {
    std::string_view text;
    // UTF-8 once a byte order mark or the first declaration says so; until then, and for any
    // other encoding, every byte is a character.
    bool utf8 = false;
    size_t misreadAt = std::string_view::npos;

    static constexpr size_t kStops = std::string_view::npos - 1;

    // Bytes the parser takes for the sequence a lead byte announces.
    size_t sequenceLength(unsigned char c) const { return utf8 ? utf8SequenceLength(c) : 1; }

    // End of a "&#...;" reference at p, as the parser finds it: at the next ';' in the text,
    // whatever lies between, as long as the characters before that ';' back to the nearest '#'
    // (or 'x' for "&#x") are digits. kStops where the parser gives up.
    size_t referenceEnd(size_t p) const {
        const bool hex = text[p + 2] == 'x';
        const size_t from = p + (hex ? 3 : 2);
        if (from >= text.size()) return kStops;
        const size_t semicolon = text.find(';', from);
        if (semicolon == std::string_view::npos) return kStops;
        for (size_t k = semicolon; k-- > p;) {
            const unsigned char c = static_cast<unsigned char>(text[k]);
            if (c == (hex ? 'x' : '#')) return semicolon + 1;
            if (!(hex ? std::isxdigit(c) : std::isdigit(c))) return kStops;
        }
        return kStops;
    }

    // Index of the character stop ('<' or a quote) that ends a run of text or a quoted value
    // starting at p, as the parser reaches it; text.size() when none does. kStops where the
    // parser gives up first; npos, with misreadAt set, where it would step over the stop or a
    // line break.
    size_t runTo(size_t p, char stop) {
        const size_t size = text.size();
        while (p < size) {
            const char c = text[p];
            if (c == stop) return p;
            size_t next = p + 1;
            if (c == '&' && p + 2 < size && text[p + 1] == '#') {
                next = referenceEnd(p);
                if (next == kStops) return kStops;
            } else {
                next = p + sequenceLength(static_cast<unsigned char>(c));
                if (next > size) return kStops;  // the text ends inside the sequence
            }
            // Stepping over the stop reads on where this scan does not; over a line break, it
            // counts the lines after it differently from the file.
            const char ends[] = {stop, '\n', '\0'};
            if (next > p + 1 &&
                text.substr(p + 1, next - p - 1).find_first_of(ends) != std::string_view::npos) {
                misreadAt = p;
                return std::string_view::npos;
            }
            p = next;
        }
        return size;
    }
};

// The parser's white space wherever it skips some: in UTF-8 it also passes over byte order marks
// and the two non-characters U+FFFE and U+FFFF.
size_t skipParserSpace(const CharReader& reader, size_t p) {
    const std::string_view text = reader.text;
    for (;;) {
        p = skipSpace(text, p);
        if (reader.utf8 &&
            (startsWith(text, p, "\xEF\xBB\xBF") || startsWith(text, p, "\xEF\xBF\xBE") ||
             startsWith(text, p, "\xEF\xBF\xBF"))) {
            p += 3;
            continue;
        }
        return p;
    }
}

// Index just past a declaration ("<?xml" in any case) that starts at `at`, or npos where the
// parser stops inside it (or, with reader.misreadAt set, misreads it). Unlike other instructions
// it does not end at its first '>': the parser reads its version, encoding and standalone values
// as attributes, and a quoted value may hold '>'; any other text runs to white space or '>'.
// encoding receives the last encoding value as written.
size_t skipDeclaration(CharReader& reader, size_t at, std::string& encoding) {
    const std::string_view text = reader.text;
    const size_t size = text.size();
    size_t p = at + 5;
    while (p < size) {
        if (text[p] == '>') return p + 1;
        p = skipParserSpace(reader, p);
        if (p >= size) break;
        const bool isEncoding = startsWithNoCase(text, p, "encoding");
        if (isEncoding || startsWithNoCase(text, p, "version") ||
            startsWithNoCase(text, p, "standalone")) {
            while (p < size && isNameChar(static_cast<unsigned char>(text[p]))) ++p;
            p = skipParserSpace(reader, p);
            if (p >= size || text[p] != '=') return std::string_view::npos;
            p = skipParserSpace(reader, p + 1);
            if (p >= size) break;
            const size_t valueStart = p;
            if (text[p] == '"' || text[p] == '\'') {
                const size_t close = reader.runTo(p + 1, text[p]);
                if (close >= size) break;  // never closed, misread or given up
                p = close + 1;
            } else {
                for (; p < size && !isParserSpace(text[p]) && text[p] != '/' && text[p] != '>';
                     ++p) {
                    if (text[p] == '"' || text[p] == '\'') return std::string_view::npos;
                }
            }
            if (isEncoding) {
                const bool quoted = text[valueStart] == '"' || text[valueStart] == '\'';
                encoding.assign(text.substr(valueStart + quoted, p - valueStart - 2 * quoted));
            }
        } else {
            while (p < size && text[p] != '>' && !isParserSpace(text[p])) ++p;
        }
    }
    return std::string_view::npos;
}

// Whether, in UTF-8, some lead byte in text[from, to) announces a sequence holding a line break.
// The parser counts rows by stepping over every sequence at its announced length, wherever it
// stands (names, comments, unquoted values too), so a break inside one goes uncounted there.
bool sequenceHidesLineBreak(std::string_view text, size_t from, size_t to) {
    for (size_t brk = text.find('\n', from); brk < to; brk = text.find('\n', brk + 1)) {
        for (size_t back = 1; back <= 3 && back <= brk - from; ++back) {
            if (utf8SequenceLength(static_cast<unsigned char>(text[brk - back])) > back)
                return true;
        }
    }
    return false;
}

}  // namespace

XmlOutline scanXmlOutline(std::string_view text, int limit, size_t parts) {
    XmlOutline outline;
    const size_t size = text.size();
    std::vector<size_t> targets;
    for (size_t k = 1; k < parts; ++k) targets.push_back(size / parts * k);
    size_t nextTarget = 0;
    bool insideFirst = false;  // within the first top-level element
    bool firstSeen = false;

    // Text and quoted values are read as the parser reads them, character by character.
    CharReader reader{text};
    reader.utf8 = startsWith(text, 0, "\xEF\xBB\xBF");
    bool encodingSettled = reader.utf8;
    // Where the parser starts counting rows in UTF-8: at the byte order mark, or at the first
    // declaration that settles on UTF-8 (its own text is counted in UTF-8 already).
    size_t utf8From = reader.utf8 ? 0 : std::string_view::npos;
    auto misread = [&] {
        outline.misreadAt = reader.misreadAt;
        return outline;
    };

    int depth = 0;
    size_t p = 0;
    while (p < size) {
        size_t tag;
        if (depth == 0) {
            // Between top-level nodes the parser stops, without an error, at anything but '<'.
            tag = skipParserSpace(reader, p);
            if (tag >= size || text[tag] != '<') break;
        } else {
            tag = reader.runTo(p, '<');
            if (tag == std::string_view::npos) return misread();
            if (tag >= size) break;  // the end, or the parser gives up in the text
        }
        if (startsWith(text, tag, "<!--")) {
            p = skipPast(text, tag + 4, "-->");
        } else if (startsWithNoCase(text, tag, "<?xml")) {
            std::string encoding;
            p = skipDeclaration(reader, tag, encoding);
            if (reader.misreadAt != std::string_view::npos) return misread();
            if (p == std::string_view::npos) break;  // the parser stops in it as well
            // The first declaration between top-level nodes settles the encoding.
            if (depth == 0 && !encodingSettled) {
                encodingSettled = true;
                reader.utf8 = encoding.empty() || startsWithNoCase(encoding, 0, "utf-8") ||
                              startsWithNoCase(encoding, 0, "utf8");
                if (reader.utf8) utf8From = tag;
            }
        } else if (startsWith(text, tag, "<![CDATA[")) {
            p = skipPast(text, tag + 9, "]]>");
        } else if (startsWith(text, tag, "</")) {
            if (depth > 0 && --depth == 0) insideFirst = false;
            p = skipPast(text, tag + 2, ">");
        } else if (tag + 1 < size && opensName(static_cast<unsigned char>(text[tag + 1]))) {
            // A start tag: its end is the first '>' outside quotes; "/>" closes it at once.
            // The parser only accepts quotes around attribute values, and stops at any other
            // quote, so treating every quote as a value's quote never hides a level it reads.
            size_t q = tag + 1;
            while (q < size && !std::isspace(static_cast<unsigned char>(text[q])) &&
                   text[q] != '/' && text[q] != '>') {
                ++q;
            }
            const size_t nameEnd = q;
            char last = 0;
            while (q < size && text[q] != '>') {
                const char c = text[q];
                if (c == '"' || c == '\'') {
                    q = reader.runTo(q + 1, c);
                    if (q == std::string_view::npos) return misread();
                    if (q >= size) q = size;  // never closed, or the parser gives up in it
                }
                last = c;
                ++q;
            }
            // An unterminated start tag still makes an element: the parser adds it below the
            // open ones before it finds the tag broken, and stops there.
            if (q >= size) {
                if (depth + 1 > limit) outline.tooDeepAt = tag;
                break;
            }
            if (depth == 0 && !firstSeen) {
                firstSeen = true;
                outline.documentElement.assign(text.substr(tag + 1, nameEnd - tag - 1));
                outline.documentElementAt = tag;
                insideFirst = last != '/';
            } else if (insideFirst && depth == 1 && nextTarget < targets.size() &&
                       tag >= targets[nextTarget] && beginsLine(text, tag)) {
                outline.splits.push_back(tag);
                while (nextTarget < targets.size() && targets[nextTarget] <= tag) ++nextTarget;
            }
            // The element stands one level below the open ones, empty or not.
            if (depth + 1 > limit) {
                outline.tooDeepAt = tag;
                return outline;
            }
            if (last != '/') ++depth;
            p = q + 1;
        } else {
            // Declarations, processing instructions, DOCTYPE and other unknown tags run to the
            // first '>'; the parser reads them no further, so neither may this scan.
            p = skipPast(text, tag + 1, ">");
        }
    }
    // A part is parsed with its rows counted from the line breaks before its cut; where the
    // parser would miss one of them, the rows of the parts would not be the whole file's.
    if (!outline.splits.empty() && utf8From != std::string_view::npos &&
        sequenceHidesLineBreak(text, utf8From, outline.splits.back())) {
        outline.splits.clear();
    }
    return outline;
}
