#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// What a cheap linear look at an XML document finds before it is parsed.
struct XmlOutline {
    // Offset of the first start tag that opens level limit + 1, or npos: the parser descends one
    // call per element level, so a document nested deep enough would overflow the call stack.
    size_t tooDeepAt = std::string_view::npos;
    // Offset of the first character reference or UTF-8 sequence that the parser, which steps
    // over them by their announced length, would read past the end of the text or attribute
    // value holding it, or past a line break, or npos. The parser would then see tags this scan
    // cannot tell, or count lines differently.
    size_t misreadAt = std::string_view::npos;
    // Name of the first top-level element, the one whose children may be split among parts.
    std::string documentElement;
    size_t documentElementAt = std::string_view::npos;
    // Offsets at which the children of that element can be cut into separately parsed parts:
    // each is the start tag of a child that begins its line (after blanks only), the first such
    // at or after each requested target. None where, in UTF-8, a sequence cut short by a line
    // break would make the parser's row count differ from the lines before a cut.
    std::vector<size_t> splits;
};

// Scans document once. Tags inside comments, CDATA sections, processing instructions and
// declarations do not count, nor do '>' and '/' inside quoted attribute values. Where the
// document is not well-formed the depth errs on the deep side, never the shallow one, or the
// scan reports the place where it can no longer tell what the parser reads. parts > 1
// asks for split points near the offsets size * k / parts.
XmlOutline scanXmlOutline(std::string_view document, int limit, size_t parts = 1);
