#pragma once

#include <string_view>
#include <vector>

// One #include, #include_next or #import line of a source file: the name between its quotes or
// angle brackets, pointing into the file's text.
struct Directive {
    std::string_view name;
    bool angle = false;
};

// Finds the directives of a file's text, in order. Preprocessor conditions are not evaluated, so
// every directive counts, but lines inside block comments do not. String and character literals
// are stepped over, so that a "/*" inside one does not open a comment.
class DirectiveFinder {
public:
    static void find(std::string_view text, std::vector<Directive>& found);

private:
    // The directive at the start of line, if any; its end (after the closing delimiter) in end.
    static bool directiveAt(std::string_view line, Directive& directive, size_t& end);
    // Follows comments and literals through line from from; inComment carries over lines.
    static void followComments(std::string_view line, size_t from, bool& inComment);
};
