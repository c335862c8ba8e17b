#include "GraphLoader.h"
#include "TempFiles.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>

namespace {

const std::string kValidRsf =
    "\"Root\" \"0\"\n\"H\" \"0\" \"top\"\n\"H\" \"1\" \"a\"\n\"H\" \"2\" \"b\"\n"
    "\"PCR\" \"0\" \"1\"\n\"PCR\" \"0\" \"2\"\n\"R\" \"1\" \"2\"\n";
const std::string kH0 = "\"H\" \"0\" \"a\"\n";
const std::string kFour = kH0 + "\"H\" \"1\" \"b\"\n\"H\" \"2\" \"c\"\n\"H\" \"3\" \"d\"\n";
const std::string kNoId = " is not a vertex id (a decimal number from 0 to 4294967295)";

std::string chain(int vertices, bool xml) {
    auto id = [](int i) { return std::to_string(i); };
    std::string text = xml ? "<Root root_id=\"0\">\n" : "\"Root\" \"0\"\n";
    for (int i = 0; i < vertices; ++i)
        text += xml ? "<Node id=\"" + id(i) + "\"/>\n" : "\"H\" \"" + id(i) + "\" \"v\"\n";
    for (int i = 1; i < vertices; ++i) {
        text += xml ? "<HierarchyEdge start=\"" + id(i - 1) + "\" end=\"" + id(i) + "\"/>\n"
                    : "\"PCR\" \"" + id(i - 1) + "\" \"" + id(i) + "\"\n";
    }
    const std::string last = id(vertices - 1);
    return text + (xml ? "<RelationEdge start=\"0\" end=\"" + last + "\"/>\n</Root>\n"
                       : "\"R\" \"0\" \"" + last + "\"\n");
}

std::string nested(int levels, const std::string& open, const std::string& close) {
    std::string text;
    for (int i = 0; i < levels; ++i) text += open;
    for (int i = 0; i < levels; ++i) text += close;
    return text;
}

struct Refusal {
    std::string name, content, message;  // the message follows "<path>"
};

std::vector<Refusal> refusals() {
    const std::string longest(GraphLoader::kMaxNameBytes, 'n'), digits(1'000'000, '9');
    const std::string tooDeep =
        ": the paths to the root would hold 1250025000 vertex ids, more "
        "than the limit of 200000000; the hierarchy is too deep";
    std::string deepNodes = "<Root root_id=\"0\">";
    for (int i = 1; i < GraphLoader::kMaxXmlNesting; ++i)
        deepNodes += "<Node id=\"" + std::to_string(i - 1) + "\">";
    deepNodes += nested(GraphLoader::kMaxXmlNesting - 1, "", "</Node>") + "</Root>";
    return {
        {"empty.xml", "", ": the file is empty"},
        {"h.rsf", "\"LevelSeparator\" \".\"\n\"Root\" \"0\"\n", ": the file declares no vertex"},
        {"n.xml", "<Root root_id=\"0\"><Other id=\"0\"/></Root>", ": the file declares no vertex"},
        // Upper case is not ".rsf": read as XML, which this is not.
        {"g.RSF", kValidRsf, ": not well-formed XML: Error document empty."},
        {"b.xml", "<Root>\n  <Node id=\"0\">\n</Root>\n",
         ": line 3, column 1: not well-formed XML: Error reading end tag."},
        {"b.rsf", kH0 + "\"H\" \"1\" \"b\"\n\"PCR\" \"0\"\n",
         ": line 3: \"PCR\" needs 2 values, found 1"},
        {"b.rsf", kH0 + "Root\n", ": line 2: \"Root\" needs 1 value, found 0"},
        {"b.rsf", kH0 + "\"R\" \"0\" \"0x\"\n", ": line 2: \"R\" value \"0x\"" + kNoId},
        {"b.rsf", "\"Root\" \" 0\"\n" + kH0, ": line 1: \"Root\" value \" 0\"" + kNoId},
        {"b.rsf", kH0 + "\"H\" \"-1\" \"b\"\n", ": line 2: \"H\" id \"-1\" is negative"},
        {"b.rsf", kH0 + "\"R\" \"0\" \"4294967296\"\n",
         ": line 2: \"R\" value \"4294967296\" does not fit in 32 bits"},
        {"b.rsf", kH0 + "\"H\" \"2147483648\" \"b\"\n",
         ": line 2: \"H\" id \"2147483648\" does not fit in 32 bits"},
        {"b.xml", "<g>\n<Node id=\"0\"/>\n <Node id=\"-2147483649\"/></g>",
         ": line 3, column 2: attribute id=\"-2147483649\" does not fit in 32 bits"},
        {"b.rsf", kH0 + "\"PCR\" \"0\" \"1\"\n\"H\" \"1\" \"b\"\n",
         ": line 2: \"PCR\" names vertex 1, which is not declared before it"},
        {"b.xml", "<Root>\n<Node id=\"0\"/>\n<RelationEdge start=\"0\" end=\"3\"/>\n</Root>",
         ": line 3, column 1: \"R\" names vertex 3, which is not declared before it"},
        {"b.rsf", kH0 + "\"H\" \"2\" \"c\"\n",
         ": vertex ids must run from 0 to 1 without gaps, but no vertex has id 1"},
        {"b.rsf", "\"H\" \"1\" \"a\"\n\"H\" \"1\" \"b\"\n\"H\" \"0\" \"c\"\n\"H\" \"3\" \"d\"\n",
         ": vertex ids must run from 0 to 2 without gaps, but no vertex has id 2"},
        {"b.rsf", kH0 + "\"Root\" \"1\"\n", ": line 2: the root 1 names no vertex"},
        {"b.rsf", kFour + "\"PCR\" \"0\" \"1\"\n\"PCR\" \"0\" \"2\"\n\"PCR\" \"1\" \"2\"\n",
         ": line 7: vertex 2 already has a parent (hierarchy edge on line 6)"},
        {"b.rsf", kFour + "\"PCR\" \"0\" \"1\"\n\"PCR\" \"1\" \"0\"\n",
         ": line 6: the root 0 is made the child of another vertex"},
        {"b.rsf", kFour + "\"PCR\" \"0\" \"1\"\n\"PCR\" \"2\" \"3\"\n\"PCR\" \"3\" \"2\"\n",
         ": line 7: the hierarchy has a cycle: the hierarchy edge into vertex 2 closes it"},
        {"b.rsf", kFour + "\"PCR\" \"0\" \"1\"\n\"PCR\" \"3\" \"2\"\n",
         ": vertex 2 is not reachable from the root 0: its topmost ancestor 3 has no parent"},
        {"b.rsf", kFour + "\"PCR\" \"0\" \"1\"\n\"PCR\" \"0\" \"2\"\n",
         ": vertex 3 is not reachable from the root 0: it has no parent"},
        // Root is level 1, so the x opening level 2001 is the 2000th: 2000 tags of 3 characters.
        {"b.xml",
         "<?xml version=\"1.0\"?>\n<Root root_id=\"0\"><Node id=\"0\"/>\n" +
             nested(100'000, "<x>", "</x>") + "</Root>\n",
         ": line 3, column 5998: elements are nested deeper than 2000 levels"},
        // Nested up to the limit is read: the vertices are there, without hierarchy edges.
        {"deep.xml", deepNodes, ": vertex 1 is not reachable from the root 0: it has no parent"},
        // A 50,000-deep chain goes through both readers, the checks, building and freeing
        // without running out of call stack.
        {"chain.rsf", chain(50'000, false), tooDeep},
        {"chain.xml", chain(50'000, true), tooDeep},
        {"long.rsf", "\"H\" \"1\" \"b\"\n\"H\" \"0\" \"" + longest + "n\"\n",
         ": line 2: the name of vertex 0 is 65537 bytes long, more than the limit of 65536"},
        {"long.xml", "<Root root_id=\"0\">\n  <Node id=\"0\" name=\"" + longest + "n\"/>\n</Root>",
         ": line 2, column 3: the name of vertex 0 is 65537 bytes long, more than the limit of "
         "65536"},
        // Long values are quoted by their first 64 bytes, cut before a character that crosses.
        {"b.rsf", kH0 + "\"R\" \"0\" \"" + std::string(63, 'x') + "\xc3\xa4" + digits + "\"\n",
         ": line 2: \"R\" value \"" + std::string(63, 'x') + "...\"" + kNoId},
        {"b.xml", "<g>\n<Node id=\"" + digits + "\"/></g>",
         ": line 2, column 1: attribute id=\"" + digits.substr(0, 64) +
             "...\" does not fit in 32 bits"},
    };
}

}  // namespace

TEST(GraphLoader, RefusesEveryBadFileWithItsNameAndProblem) {
    TempFiles files;
    for (const Refusal& refusal : refusals()) {
        const std::string path = files.write(refusal.name, refusal.content);
        LoadResult result = GraphLoader::load(path);
        EXPECT_EQ(result.graph, nullptr);
        EXPECT_EQ(result.error, path + refusal.message);
    }
    const std::string missing = files.path("missing.rsf");
    EXPECT_EQ(GraphLoader::load(missing).error,
              missing + ": cannot be opened: No such file or directory");
    EXPECT_EQ(GraphLoader::load(files.path("")).error,
              files.path("") + ": cannot be opened: it is a directory");
    EXPECT_EQ(GraphLoader::load("/dev/zero").error,
              "/dev/zero: cannot be opened: it is not a regular file");
    const std::string pipe = files.path("pipe.rsf");
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);  // opening it without a writer would wait for ever
    EXPECT_EQ(GraphLoader::load(pipe).error, pipe + ": cannot be opened: it is not a regular file");
    // Sparse: the size is there, the bytes are never read.
    const std::string big = files.write("big.xml", kValidRsf);
    std::filesystem::resize_file(big, GraphLoader::kMaxFileBytes + 1);
    EXPECT_EQ(GraphLoader::load(big).error,
              big +
                  ": the file is 536870913 bytes, more than the limit of "
                  "536870912 bytes (512 MiB)");
}

TEST(GraphLoader, LoadsEitherFormatWithItsHierarchy) {
    TempFiles files;
    const std::string xml =
        "<Root root_id=\"0\"><Node id=\"0\" name=\"top\"/><Node id=\"1\" name=\"a\"/>"
        "<Node id=\"2\" name=\"b\"/><HierarchyEdge start=\"0\" end=\"1\"/>"
        "<HierarchyEdge start=\"0\" end=\"2\"/><RelationEdge start=\"1\" end=\"2\"/></Root>";
    // The file's own name decides the format, not the folder it lies in.
    std::filesystem::create_directory(files.path("app.rsf.d"));
    for (const std::string& path : {files.write("g.rsf.txt", kValidRsf), files.write("g.xml", xml),
                                    files.write("app.rsf.d/g.xml", xml)}) {
        LoadResult result = GraphLoader::load(path);
        ASSERT_TRUE(result.ok()) << result.error;
        const GraphStore& graph = *result.graph;
        EXPECT_EQ(graph.hierarchyEdgeCount(), 2u);
        EXPECT_EQ(graph.relationEdgeCount(), 1u);
        EXPECT_EQ(graph.getHierarchy(), (std::vector<int32_t>{1, 2}));
        EXPECT_EQ(graph.getVertex(2)->getName(), "b");
        EXPECT_EQ(graph.getTreePath(*graph.getRelationEdge(0)), (std::vector<uint32_t>{1, 0, 2}));
    }
    const std::string longest(GraphLoader::kMaxNameBytes, 'n');
    for (bool xml : {false, true}) {
        const std::string name = xml ? "chain.xml" : "chain.rsf";
        LoadResult result = GraphLoader::load(files.write(name, chain(5'000, xml)));
        ASSERT_TRUE(result.ok()) << result.error;
        EXPECT_EQ(result.graph->depthCount(), 5'000u);
        EXPECT_EQ(result.graph->getVertex(4'999)->pathToRoot().size(), 5'000u);
    }
    LoadResult fits = GraphLoader::load(files.write(
        "fits.rsf", "\"H\" \"0\" \"" + longest + "\"\n\"H\" \"1\" \"b\"\n\"PCR\" \"0\" \"1\"\n"));
    ASSERT_TRUE(fits.ok()) << fits.error;
    EXPECT_EQ(fits.graph->getVertex(0)->getName(), longest);
}
