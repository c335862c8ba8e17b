#include "ReadRTFFile.h"
#include "TempFiles.h"

#include <gtest/gtest.h>

namespace {

using Values = std::vector<std::string>;

// Key and values of each record, with its line.
std::vector<std::string> read(const std::string& text) {
    TempFiles files;
    std::vector<std::string> lines;
    for (const DataRecord& r : ReadRTFFile().read(files.write("g.rsf", text).c_str())) {
        lines.push_back(std::to_string(r.line) + ":" + r.key);
        for (const std::string& value : r.values) lines.back() += " " + value;
    }
    return lines;
}

}  // namespace

TEST(ReadRTFFile, RecordPerLineWithATrailingEmptyOneAfterTheLastBreak) {
    using Lines = std::vector<std::string>;
    // Line breaks, CRLF and a missing last break are the RSF fuzz target's properties.
    EXPECT_EQ(read(""), Lines{"1:"});
    // Lines across read chunks (about 7 MB) and a 5 MB name.
    std::string text;
    for (int i = 0; i < 300'000; ++i) text += "\"R\" \"" + std::to_string(i) + "\" \"7\"\n";
    const std::string longName(5 << 20, 'n');
    const Lines many = read(text + "\"H\" \"0\" \"" + longName + "\"");
    ASSERT_EQ(many.size(), 300'001u);
    for (int i = 0; i < 300'000; i += 997)
        ASSERT_EQ(many[i], std::to_string(i + 1) + ":R " + std::to_string(i) + " 7");
    EXPECT_EQ(many.back(), "300001:H 0 " + longName);
}

TEST(ReadRTFFile, CuttingLinesIntoTokens) {
    struct Case {
        const char* line;
        const char* key;
        Values values;
    };
    const Case cases[] = {
        {"   \"H\" \"3\" \"x\"", "H", {"3", "x"}},                  // leading spaces
        {"\"PCR\" first \"1\" then \"2\" end", "PCR", {"1", "2"}},  // words outside quotes
        {"Root", "Root", {}},                                       // no quote at all
        {"\"H\" \"\" \"x\"", "H", {"", "x"}},                       // empty value
        {"\"H\"\"4\" \"y\"", "H", {"4", "y"}},                      // value against the key
        {"\"PCR\" \"1\" \"2", "PCR", {"1", "2"}},                   // unclosed last value
        {"\"PCR\" \"1", "PCR", {"1"}},                              // unclosed only value
        {"\"PCR", "PCR", {}},                                       // unclosed key
        {"\"\"", "", {}},                                           // empty key
    };
    for (const Case& c : cases) {
        DataRecord record = ReadRTFFile::parseLine(c.line, 9);
        EXPECT_EQ(record.line, 9);
        EXPECT_EQ(record.key, c.key) << c.line;
        EXPECT_EQ(record.values, c.values) << c.line;
    }
}
