#include "ReadRTFFile.h"
#include "OpeningWatch.h"

#include "Trace.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>

namespace {

// Large reads: the files reach millions of lines, and one read call per line would dominate.
constexpr size_t kChunkSize = 4 << 20;

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

// Position of the next double quote at or after from, or npos.
size_t nextQuote(std::string_view line, size_t from) {
    if (from >= line.size()) return std::string_view::npos;
    const void* hit = std::memchr(line.data() + from, '"', line.size() - from);
    return hit ? static_cast<const char*>(hit) - line.data() : std::string_view::npos;
}

}  // namespace

DataRecord ReadRTFFile::parseLine(std::string_view line, int lineNumber) {
    DataRecord record;
    record.line = lineNumber;
    cutLine(line, record);
    return record;
}

void ReadRTFFile::cutLine(std::string_view line, DataRecord& record) {
    size_t open = nextQuote(line, 0);
    if (open == std::string_view::npos) {
        record.key.assign(line.data(), line.size());
        return;
    }
    size_t close = nextQuote(line, open + 1);
    if (close == std::string_view::npos) {
        // An unclosed key runs to the end of the line and nothing follows it.
        record.key.assign(line.substr(open + 1));
        return;
    }
    record.key.assign(line.substr(open + 1, close - open - 1));

    // The search starts right after the closing quote, so a value written directly against the
    // key ("H""1") is still read as a value.
    open = nextQuote(line, close + 1);
    // Statements carry at most two values but for rare headers: one allocation per record.
    if (open != std::string_view::npos) record.values.reserve(2);
    while (open != std::string_view::npos) {
        close = nextQuote(line, open + 1);
        if (close == std::string_view::npos) {
            // An unclosed value runs to the end of the line and ends the line's tokens.
            record.values.emplace_back(line.substr(open + 1));
            break;
        }
        record.values.emplace_back(line.substr(open + 1, close - open - 1));
        open = nextQuote(line, close + 1);
    }
}

std::vector<DataRecord> ReadRTFFile::read(const char* fileName) {
    std::vector<DataRecord> records;
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(fileName, "rb"));
    if (!file) {
        trace() << "Unable to open file";
        return records;
    }

    // Room for the records of a typical file up front (statements run 20 to 30 bytes), so that
    // growing the list does not copy millions of records; space not touched costs nothing.
    size_t bufferSize = kChunkSize;
    size_t expectedLines = 0;
    if (std::fseek(file.get(), 0, SEEK_END) == 0) {
        const long size = std::ftell(file.get());
        expectedLines = size > 0 ? size_t(size) / 28 + 1 : 0;
        if (size > 0) records.reserve(static_cast<size_t>(size) / 16 + 1);
        // A small file needs no chunk-sized buffer: the buffer is zeroed when it is made, and
        // small files are opened often (one byte more than the file meets its end at once).
        if (size >= 0) bufferSize = std::min(kChunkSize, static_cast<size_t>(size) + 1);
        std::fseek(file.get(), 0, SEEK_SET);
    }

    std::vector<char> buffer(bufferSize);
    size_t filled = 0;  // bytes in buffer, the start of an unfinished line among them
    int lineNumber = 0;
    auto addLine = [&](const char* begin, size_t length) {
        // Files written on Windows end their lines with CR LF; the CR belongs to the break.
        if (length > 0 && begin[length - 1] == '\r') --length;
        OpeningWatch::step(size_t(lineNumber), expectedLines);
        DataRecord& record = records.emplace_back();
        record.line = ++lineNumber;
        cutLine(std::string_view(begin, length), record);
    };
    for (;;) {
        if (filled == buffer.size()) buffer.resize(buffer.size() * 2);  // a very long line
        size_t got = std::fread(buffer.data() + filled, 1, buffer.size() - filled, file.get());
        if (got == 0) break;
        const char* begin = buffer.data();
        const char* end = begin + filled + got;
        const char* lineStart = begin;
        while (const void* hit = std::memchr(lineStart, '\n', end - lineStart)) {
            const char* lineEnd = static_cast<const char*>(hit);
            addLine(lineStart, lineEnd - lineStart);
            lineStart = lineEnd + 1;
        }
        filled = end - lineStart;
        std::memmove(buffer.data(), lineStart, filled);
    }
    // What follows the last line break is one more line, empty when the file ends with a break.
    addLine(buffer.data(), filled);
    return records;
}
