#include "ReadRTFFile.h"
#include "TempFiles.h"
#include "Trace.h"

#include <gtest/gtest.h>

#include <iostream>
#include <sstream>

namespace {

using Values = std::vector<std::string>;

std::vector<DataRecord> readText(const TempFiles& files, const std::string& text) {
    return ReadRTFFile().read(files.write("graph.rsf", text).c_str());
}

}  // namespace

TEST(ReadRTFFile, MinimalFileGivesOneRecordPerLineAndATrailingEmptyOne) {
    TempFiles files;
    auto records =
        readText(files,
                 "\"Root\" \"0\"\n\"H\" \"0\" \"top\"\n\"H\" \"1\" \"a\"\n\"H\" \"2\" \"b\"\n"
                 "\"PCR\" \"0\" \"1\"\n\"PCR\" \"0\" \"2\"\n\"R\" \"1\" \"2\"\n");
    ASSERT_EQ(records.size(), 8u);
    EXPECT_EQ(records[0].key, "Root");
    EXPECT_EQ(records[0].values, Values{"0"});
    EXPECT_EQ(records[2].key, "H");
    EXPECT_EQ(records[2].values, (Values{"1", "a"}));
    EXPECT_EQ(records[6].key, "R");
    EXPECT_EQ(records[6].values, (Values{"1", "2"}));
    EXPECT_EQ(records[7].key, "");
    EXPECT_TRUE(records[7].values.empty());
    for (size_t i = 0; i < records.size(); ++i) {
        EXPECT_EQ(records[i].line, static_cast<int>(i + 1));
        EXPECT_EQ(records[i].column, 0);
    }
}

TEST(ReadRTFFile, NoTrailingRecordWithoutFinalLineBreak) {
    TempFiles files;
    auto records = readText(files, "\"H\" \"0\" \"a\"\n\"H\" \"1\" \"b\"");
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[1].values, (Values{"1", "b"}));
}

TEST(ReadRTFFile, EmptyFileGivesOneEmptyRecord) {
    TempFiles files;
    auto records = readText(files, "");
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].key, "");
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
        {"", "", {}},                                               // empty line
        {"\"H\" \"\" \"x\"", "H", {"", "x"}},                       // empty value
        {"\"H\"\"4\" \"y\"", "H", {"4", "y"}},                      // value against the key
        {"\"PCR\" \"1\" \"2", "PCR", {"1", "2"}},                   // unclosed last value
        {"\"PCR\" \"1", "PCR", {"1"}},                              // unclosed only value
        {"\"PCR", "PCR", {}},                                       // unclosed key
        {"\"\"", "", {}},                                           // empty key
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        DataRecord record = ReadRTFFile::parseLine(c.line, 9);
        EXPECT_EQ(record.line, 9);
        EXPECT_EQ(record.key, c.key);
        EXPECT_EQ(record.values, c.values);
    }
}

TEST(ReadRTFFile, CarriageReturnsOfWindowsLineBreaksAreDropped) {
    TempFiles files;
    auto records = readText(files, "Root\r\n\"R\" \"1\" \"2\"\r\n");
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[0].key, "Root");
    EXPECT_EQ(records[1].values, (Values{"1", "2"}));
}

TEST(ReadRTFFile, LinesAcrossReadChunksAndVeryLongLines) {
    TempFiles files;
    std::string text;
    const int lines = 300'000;  // about 7 MB, more than one read
    for (int i = 0; i < lines; ++i) text += "\"R\" \"" + std::to_string(i) + "\" \"7\"\n";
    const std::string longName(5 << 20, 'n');
    text += "\"H\" \"0\" \"" + longName + "\"";
    auto records = readText(files, text);
    ASSERT_EQ(records.size(), static_cast<size_t>(lines) + 1);
    for (int i = 0; i < lines; ++i) {
        ASSERT_EQ(records[i].values, (Values{std::to_string(i), "7"})) << "line " << i + 1;
        ASSERT_EQ(records[i].line, i + 1);
    }
    EXPECT_EQ(records.back().values[1], longName);
}

TEST(ReadRTFFile, MissingFileSaysSoWithoutLineBreak) {
    TempFiles files;
    std::ostringstream captured;
    setTraceStream(&captured);
    auto records = ReadRTFFile().read(files.path("missing.rsf").c_str());
    setTraceStream(&std::cout);
    EXPECT_TRUE(records.empty());
    EXPECT_EQ(captured.str(), "Unable to open file");
}
