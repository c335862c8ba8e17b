// The XML reader's records and problems. How it reads odd documents (parts against the whole,
// nesting hidden in comments, quotes and broken UTF-8) is checked by the seeds of the XML fuzz
// corpus, replayed by ctest.
#include "LoadXMLTree.h"
#include "TempFiles.h"

#include <gtest/gtest.h>

namespace {

struct Read {
    std::vector<std::string> records;  // key and values of each record
    std::vector<std::pair<int, int>> places;
    LoadXMLTree::Problem problem;
};

Read readXml(const std::string& text, int maxNesting = 2'000) {
    TempFiles files;
    const std::string path = files.write("graph.xml", text);
    LoadXMLTree reader(maxNesting);
    Read result;
    for (const DataRecord& record : reader.read(path.c_str())) {
        std::string line = record.key;
        for (const std::string& value : record.values) line += " " + value;
        result.records.push_back(line);
        result.places.emplace_back(record.line, record.column);
    }
    result.problem = reader.problem();
    return result;
}

using Lines = std::vector<std::string>;
const Lines kExampleRecords = {"Root 0",  "H 0 top", "H 1 a", "H 2 b",
                               "PCR 0 1", "PCR 0 2", "R 1 2"};

}  // namespace

TEST(LoadXMLTree, RecordsWithTheirPlacesWhateverTheNesting) {
    Read example = readXml(
        "<?xml version=\"1.0\"?>\n<Root root_id=\"0\">\n  <Node id=\"0\" name=\"top\"/>\n"
        "  <Node id=\"1\" name=\"a\"/>\n  <Node id=\"2\" name=\"b\"/>\n"
        "  <HierarchyEdge start=\"0\" end=\"1\"/>\n  <HierarchyEdge start=\"0\" end=\"2\"/>\n"
        "  <RelationEdge start=\"1\" end=\"2\"/>\n</Root>\n");
    EXPECT_TRUE(example.problem.text.empty()) << example.problem.text;
    EXPECT_EQ(example.records, kExampleRecords);
    EXPECT_EQ(example.places.front(), std::make_pair(2, 1));
    EXPECT_EQ(example.places.back(), std::make_pair(8, 3));
    // Nodes inside nodes and edges inside edges give the same records.
    EXPECT_EQ(readXml("<Root root_id=\"0\"><Node id=\"0\" name=\"top\"><Node id=\"1\" name=\"a\">"
                      "<Node id=\"2\" name=\"b\"/></Node></Node><x><HierarchyEdge start=\"0\" "
                      "end=\"1\"><HierarchyEdge start=\"0\" end=\"2\"><RelationEdge start=\"1\" "
                      "end=\"2\"/></HierarchyEdge></HierarchyEdge></x></Root>")
                  .records,
              kExampleRecords);
}

TEST(LoadXMLTree, RemembersAttributesAcrossElements) {
    Read read = readXml(
        "<g>"
        "<Node id=\"0\"/>"                  // no name read yet: empty
        "<Node id=\"1\" name=\"one\"/>"     //
        "<Node id=\"2\"/>"                  // previous name
        "<Node id=\"3abc\" name=\"x\"/>"    // digits then letters
        "<Node id=\"abc\" name=\"y\"/>"     // no number: id stays 3
        "<Other id=\"7\" name=\"z\"/>"      // other elements count too
        "<Node/>"                           // id 7, name z
        "<Node id=\" -4\" name=\"w\"/>"     // blanks skipped, sign kept
        "<node id=\"9\"/><NODE id=\"9\"/>"  // wrong case: nothing
        "<HierarchyEdge start=\"1\" end=\"2\"/>"
        "<RelationEdge end=\"5\"/>"  // start remembered
        "</g>");
    EXPECT_EQ(read.records, (Lines{"H 0 ", "H 1 one", "H 2 one", "H 3 x", "H 3 y", "H 7 z",
                                   "H -4 w", "PCR 1 2", "R 1 5"}));
}

TEST(LoadXMLTree, ProblemsWithTheirPlaces) {
    struct Case {
        std::string text;
        int maxNesting;
        std::string problem;
        int line, column;
        Lines records;
    };
    // clang-format off
    const Case cases[] = {
        // The remembered id is not replaced by a wrapped number.
        {"<g>\n  <Node id=\"1\"/>\n  <Node id=\"99999999999\"/>\n</g>", 2000,
         "attribute id=\"99999999999\" does not fit in 32 bits", 3, 3, {"H 1 ", "H 1 "}},
        {"<a>\n<b>\n<c/></b></a>", 3, "", 0, 0, {}},
        {"<a>\n<b>\n  <c><d/></c></b></a>", 3, "elements are nested deeper than 3 levels", 3, 6, {}},
        {std::string("<a><b><c\0<d/></c></b></a>", 25), 2,
         "elements are nested deeper than 2 levels", 1, 7, {}},
        {"<r>\n  <a v=\"&#x\"x1;\"><b><c/></b></a></r>", 3,
         "not well-formed XML: a UTF-8 sequence or character reference is cut short", 2, 9, {}},
    };
    // clang-format on
    for (const Case& c : cases) {
        Read read = readXml(c.text, c.maxNesting);
        EXPECT_EQ(read.problem.text, c.problem) << c.text;
        if (!c.problem.empty()) {
            EXPECT_EQ(std::make_pair(read.problem.line, read.problem.column),
                      std::make_pair(c.line, c.column))
                << c.text;
        }
        EXPECT_EQ(read.records, c.records) << c.text;
    }
}
