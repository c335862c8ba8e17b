// The RSF reader on arbitrary bytes: reading the file must give exactly the records of cutting
// the bytes at every line break and reading each line on its own, and every token must be a
// quote-free piece of its line.
#include "ReadRTFFile.h"
#include "FuzzCheck.h"
#include "ScratchFile.h"

#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = ScratchFile::write(data, size, ".rsf");
    ReadRTFFile reader;
    const std::vector<DataRecord> records = reader.read(path.c_str());

    const std::string_view text(reinterpret_cast<const char*>(data), size);
    size_t lineStart = 0;
    size_t index = 0;
    for (;; ++index) {
        const size_t lineEnd = text.find('\n', lineStart);
        std::string_view line =
            text.substr(lineStart, lineEnd == std::string_view::npos ? std::string_view::npos
                                                                     : lineEnd - lineStart);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        FUZZ_CHECK(index < records.size());
        const DataRecord& record = records[index];
        const DataRecord expected = ReadRTFFile::parseLine(line, int(index + 1));
        FUZZ_CHECK(record.line == int(index + 1) && record.column == 0);
        FUZZ_CHECK(record.key == expected.key && record.values == expected.values);

        const bool quoted = line.find('"') != std::string_view::npos;
        FUZZ_CHECK(quoted || (record.key == line && record.values.empty()));
        if (quoted) FUZZ_CHECK(record.key.find('"') == std::string::npos);
        FUZZ_CHECK(line.find(record.key) != std::string_view::npos);
        for (const std::string& value : record.values) {
            FUZZ_CHECK(value.find('"') == std::string::npos && line.find(value) != line.npos);
        }
        if (lineEnd == std::string_view::npos) break;
        lineStart = lineEnd + 1;
    }
    FUZZ_CHECK(index + 1 == records.size());
    return 0;
}
