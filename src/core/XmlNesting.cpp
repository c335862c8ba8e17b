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
