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

// Index just past a declaration ("<?xml" in any case) that starts at `at`, or npos where the
// parser stops inside it. Unlike other instructions it does not end at its first '>': the
// parser reads its version, encoding and standalone values as attributes, and a quoted value
// may hold '>'; any other text runs to white space or '>'.
size_t skipDeclaration(std::string_view text, size_t at) {
    const size_t size = text.size();
    size_t p = at + 5;
    while (p < size) {
        if (text[p] == '>') return p + 1;
        p = skipSpace(text, p);
        if (p >= size) break;
        if (startsWithNoCase(text, p, "version") || startsWithNoCase(text, p, "encoding") ||
            startsWithNoCase(text, p, "standalone")) {
            while (p < size && isNameChar(static_cast<unsigned char>(text[p]))) ++p;
            p = skipSpace(text, p);
            if (p >= size || text[p] != '=') return std::string_view::npos;
            p = skipSpace(text, p + 1);
            if (p >= size) break;
            if (text[p] == '"' || text[p] == '\'') {
                const size_t close = text.find(text[p], p + 1);
                if (close == std::string_view::npos) break;
                p = close + 1;
            } else {
                for (; p < size && !isParserSpace(text[p]) && text[p] != '/' && text[p] != '>';
                     ++p) {
                    if (text[p] == '"' || text[p] == '\'') return std::string_view::npos;
                }
            }
        } else {
            while (p < size && text[p] != '>' && !isParserSpace(text[p])) ++p;
        }
    }
    return std::string_view::npos;
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

    int depth = 0;
    size_t p = 0;
    while (p < size) {
        const void* hit = std::memchr(text.data() + p, '<', size - p);
        if (!hit) break;
        const size_t tag = static_cast<const char*>(hit) - text.data();
        if (startsWith(text, tag, "<!--")) {
            p = skipPast(text, tag + 4, "-->");
        } else if (startsWithNoCase(text, tag, "<?xml")) {
            p = skipDeclaration(text, tag);
            if (p == std::string_view::npos) break;  // the parser stops in it as well
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
                    const void* close = std::memchr(text.data() + q + 1, c, size - q - 1);
                    q = close ? static_cast<const char*>(close) - text.data() : size;
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
    return outline;
}
