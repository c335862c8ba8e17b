#include "DirectiveFinder.h"

#include <cctype>
#include <cstring>

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f'; }

size_t skipBlanks(std::string_view line, size_t at) {
    while (at < line.size() && isBlank(line[at])) ++at;
    return at;
}

bool startsWith(std::string_view line, size_t at, std::string_view word) {
    return line.substr(at, word.size()) == word;
}

// The position after the literal opening at open, or the end of the line when it is not closed.
size_t skipLiteral(std::string_view line, size_t open) {
    const char quote = line[open];
    for (size_t at = open + 1; at < line.size(); ++at) {
        if (line[at] == '\\') {
            ++at;
        } else if (line[at] == quote) {
            return at + 1;
        }
    }
    return line.size();
}

}  // namespace

void DirectiveFinder::find(std::string_view text, std::vector<Directive>& found) {
    bool inComment = false;
    // Editors on some systems begin UTF-8 files with a byte order mark, before the first line's #.
    size_t start = text.substr(0, 3) == "\xEF\xBB\xBF" ? 3 : 0;
    while (start < text.size()) {
        const void* hit = std::memchr(text.data() + start, '\n', text.size() - start);
        const size_t end = hit ? static_cast<const char*>(hit) - text.data() : text.size();
        const std::string_view line = text.substr(start, end - start);
        size_t from = 0;
        Directive directive;
        if (!inComment && directiveAt(line, directive, from)) found.push_back(directive);
        followComments(line, from, inComment);
        start = end + 1;
    }
}

bool DirectiveFinder::directiveAt(std::string_view line, Directive& directive, size_t& end) {
    size_t at = skipBlanks(line, 0);
    if (at == line.size() || line[at] != '#') return false;
    at = skipBlanks(line, at + 1);
    if (startsWith(line, at, "include_next")) {
        at += 12;
    } else if (startsWith(line, at, "include")) {
        at += 7;
    } else if (startsWith(line, at, "import")) {
        at += 6;
    } else {
        return false;
    }
    at = skipBlanks(line, at);
    if (at == line.size() || (line[at] != '"' && line[at] != '<')) return false;
    const char close = line[at] == '"' ? '"' : '>';
    const size_t closeAt = line.find(close, at + 1);
    if (closeAt == std::string_view::npos) return false;
    directive.name = line.substr(at + 1, closeAt - at - 1);
    directive.angle = close == '>';
    end = closeAt + 1;
    return true;
}

void DirectiveFinder::followComments(std::string_view line, size_t from, bool& inComment) {
    size_t at = from;
    while (at < line.size()) {
        if (inComment) {
            const size_t close = line.find("*/", at);
            if (close == std::string_view::npos) return;
            inComment = false;
            at = close + 2;
            continue;
        }
        const char c = line[at];
        if (c == '/' && at + 1 < line.size()) {
            if (line[at + 1] == '/') return;
            if (line[at + 1] == '*') {
                inComment = true;
                at += 2;
                continue;
            }
        } else if (c == '"') {
            at = skipLiteral(line, at);
            continue;
        } else if (c == '\'' &&
                   (at == 0 || !std::isalnum(static_cast<unsigned char>(line[at - 1])))) {
            // After a digit or letter it separates digits (1'000) or ends a prefix (u8'a' is
            // rare enough to miss); elsewhere it opens a character literal.
            at = skipLiteral(line, at);
            continue;
        }
        ++at;
    }
}
