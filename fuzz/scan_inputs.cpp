// What a source scan reads from files it does not control, on arbitrary bytes: the directives of
// a source file and a compilation database.
// Directives: every name lies on one line after its opening quote or bracket, which follows a
// "#" that only blanks precede (and, on the first line, a UTF-8 byte order mark); the names come
// in order; a text after an opened comment that never closes hides all of them.
// Compilation database: read, or refused with a message naming the file; every folder read is
// absolute and free of "." and ".." steps.
#include "CompileCommands.h"
#include "DirectiveFinder.h"
#include "FuzzCheck.h"
#include "ScratchFile.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr size_t npos = std::string_view::npos;

void checkDirectives(std::string_view text) {
    std::vector<Directive> found;
    DirectiveFinder::find(text, found);
    size_t previousEnd = 0;
    for (const Directive& directive : found) {
        FUZZ_CHECK(directive.name.data() >= text.data() + previousEnd);
        const size_t at = directive.name.data() - text.data();
        FUZZ_CHECK(at > 0 && at + directive.name.size() <= text.size());
        FUZZ_CHECK(directive.name.find('\n') == npos);
        FUZZ_CHECK(directive.name.find(directive.angle ? '>' : '"') == npos);
        const size_t lineBreak = text.rfind('\n', at - 1);
        const size_t textStart = text.substr(0, 3) == "\xEF\xBB\xBF" ? 3 : 0;
        const size_t lineStart = lineBreak == npos ? textStart : lineBreak + 1;
        const std::string_view before = text.substr(lineStart, at - lineStart);
        const size_t hash = before.find_first_not_of(" \t\v\f");
        FUZZ_CHECK(hash != npos && before[hash] == '#');
        FUZZ_CHECK(before.back() == (directive.angle ? '<' : '"'));
        previousEnd = at + directive.name.size();
    }
    if (text.find("*/") == npos) {
        const std::string hidden = "/*\n" + std::string(text);
        found.clear();
        DirectiveFinder::find(hidden, found);
        FUZZ_CHECK(found.empty());
    }
}

void checkCompileCommands(const uint8_t* data, size_t size) {
    const std::string path = ScratchFile::write(data, size, ".json");
    CompileCommands commands;
    const bool read = commands.read(path);
    FUZZ_CHECK(read == commands.error().empty());
    FUZZ_CHECK(read || commands.error().rfind(path + ": ", 0) == 0);
    for (const std::string& folder : commands.folders()) {
        FUZZ_CHECK(!folder.empty() && folder.front() == '/');
        FUZZ_CHECK(folder == "/" || folder.back() != '/');
        FUZZ_CHECK(folder.find("//") == npos && folder.find("/./") == npos &&
                   folder.find("/../") == npos);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    checkDirectives(std::string_view(reinterpret_cast<const char*>(data), size));
    checkCompileCommands(data, size);
    return 0;
}
