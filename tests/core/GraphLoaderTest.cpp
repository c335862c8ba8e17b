#include "GraphLoader.h"
#include "TempFiles.h"
#include "Trace.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <iostream>

namespace {

// Loads with the trace silenced, as loading large files writes a line per element.
LoadResult load(const std::string& path) {
    setTraceStream(nullptr);
    LoadResult result = GraphLoader::load(path);
    setTraceStream(&std::cout);
    return result;
}

std::string rsfLines(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\n";
    return text;
}

const std::vector<std::string> kValidRsf = {
    "\"Root\" \"0\"",      "\"H\" \"0\" \"top\"", "\"H\" \"1\" \"a\"", "\"H\" \"2\" \"b\"",
    "\"PCR\" \"0\" \"1\"", "\"PCR\" \"0\" \"2\"", "\"R\" \"1\" \"2\""};

// The error of loading an RSF file made of lines; fails the test if the file loads.
std::string rsfError(const TempFiles& files, const std::vector<std::string>& lines) {
    LoadResult result = load(files.write("bad.rsf", rsfLines(lines)));
    EXPECT_FALSE(result.ok());
    EXPECT_EQ(result.graph, nullptr);
    return result.error;
}

std::string xmlError(const TempFiles& files, const std::string& text) {
    LoadResult result = load(files.write("bad.xml", text));
    EXPECT_FALSE(result.ok());
    return result.error;
}

std::string chainRsf(int vertices) {
    std::string text = "\"Root\" \"0\"\n";
    for (int i = 0; i < vertices; ++i) text += "\"H\" \"" + std::to_string(i) + "\" \"v\"\n";
    for (int i = 1; i < vertices; ++i) {
        text += "\"PCR\" \"" + std::to_string(i - 1) + "\" \"" + std::to_string(i) + "\"\n";
    }
    return text + "\"R\" \"0\" \"" + std::to_string(vertices - 1) + "\"\n";
}

std::string chainXml(int vertices) {
    std::string text = "<?xml version=\"1.0\"?>\n<Root root_id=\"0\">\n";
    for (int i = 0; i < vertices; ++i) text += "<Node id=\"" + std::to_string(i) + "\"/>\n";
    for (int i = 1; i < vertices; ++i) {
        text += "<HierarchyEdge start=\"" + std::to_string(i - 1) + "\" end=\"" +
                std::to_string(i) + "\"/>\n";
    }
    return text + "<RelationEdge start=\"0\" end=\"" + std::to_string(vertices - 1) +
           "\"/>\n</Root>\n";
}

}  // namespace

TEST(GraphLoader, LoadsAValidFileOfEitherFormatWithItsHierarchy) {
    TempFiles files;
    const std::string xml =
        "<Root root_id=\"0\"><Node id=\"0\" name=\"top\"/><Node id=\"1\" name=\"a\"/>"
        "<Node id=\"2\" name=\"b\"/><HierarchyEdge start=\"0\" end=\"1\"/>"
        "<HierarchyEdge start=\"0\" end=\"2\"/><RelationEdge start=\"1\" end=\"2\"/></Root>";
    for (const std::string& path :
         {files.write("g.rsf", rsfLines(kValidRsf)), files.write("g.xml", xml)}) {
        SCOPED_TRACE(path);
        GraphStore* published = g_graph;
        LoadResult result = load(path);
        ASSERT_TRUE(result.ok()) << result.error;
        EXPECT_TRUE(result.error.empty());
        EXPECT_EQ(g_graph, published);  // publishing is the caller's business
        const GraphStore& graph = *result.graph;
        EXPECT_EQ(graph.vertexCount(), 3u);
        EXPECT_EQ(graph.hierarchyEdgeCount(), 2u);
        EXPECT_EQ(graph.relationEdgeCount(), 1u);
        EXPECT_EQ(graph.getRoot()->getId(), 0u);
        EXPECT_EQ(graph.getHierarchy(), (std::vector<int32_t>{1, 2}));
        EXPECT_EQ(graph.getVertex(2)->getName(), "b");
        EXPECT_EQ(graph.getTreePath(*graph.getRelationEdge(0)), (std::vector<uint32_t>{1, 0, 2}));
    }
}

TEST(GraphLoader, ChoosesTheReaderByRsfAnywhereInTheName) {
    TempFiles files;
    EXPECT_TRUE(load(files.write("g.rsf.txt", rsfLines(kValidRsf))).ok());
    // Upper case is not ".rsf": read as XML, which this is not.
    std::string error = load(files.write("g.RSF", rsfLines(kValidRsf))).error;
    EXPECT_NE(error.find("not well-formed XML"), std::string::npos) << error;
}

TEST(GraphLoader, RefusesFilesThatCannotBeRead) {
    TempFiles files;
    const std::string missing = files.path("missing.rsf");
    EXPECT_EQ(load(missing).error, missing + ": cannot be opened: No such file or directory");
    EXPECT_EQ(load(files.path("")).error, files.path("") + ": cannot be opened: it is a directory");
    const std::string empty = files.write("empty.xml", "");
    EXPECT_EQ(load(empty).error, empty + ": the file is empty");
    const std::string headers = files.write("h.rsf", "\"LevelSeparator\" \".\"\n\"Root\" \"0\"\n");
    EXPECT_EQ(load(headers).error, headers + ": the file declares no vertex");
    const std::string noNode = files.write("n.xml", "<Root root_id=\"0\"><Other id=\"0\"/></Root>");
    EXPECT_EQ(load(noNode).error, noNode + ": the file declares no vertex");
}

TEST(GraphLoader, RefusesMalformedXmlWithTheParsersPlace) {
    TempFiles files;
    std::string error = xmlError(files, "<Root>\n  <Node id=\"0\">\n</Root>\n");
    EXPECT_EQ(error.rfind(files.path("bad.xml") + ": line 3, column ", 0), 0u) << error;
    EXPECT_NE(error.find("not well-formed XML: "), std::string::npos) << error;
}

TEST(GraphLoader, RefusesRecordsWithTooFewValues) {
    TempFiles files;
    const std::string name = files.path("bad.rsf");
    EXPECT_EQ(rsfError(files, {"\"H\" \"0\" \"a\"", "\"H\" \"1\" \"b\"", "\"PCR\" \"0\""}),
              name + ": line 3: \"PCR\" needs 2 values, found 1");
    EXPECT_EQ(rsfError(files, {"\"H\" \"0\" \"a\"", "Root"}),
              name + ": line 2: \"Root\" needs 1 value, found 0");
    EXPECT_EQ(rsfError(files, {"\"H\" \"0\""}), name + ": line 1: \"H\" needs 2 values, found 1");
    EXPECT_EQ(rsfError(files, {"\"H\" \"0\" \"a\"", "\"R\""}),
              name + ": line 2: \"R\" needs 2 values, found 0");
}

TEST(GraphLoader, RefusesValuesThatAreNoVertexIds) {
    TempFiles files;
    const std::string name = files.path("bad.rsf");
    const std::string h = "\"H\" \"0\" \"a\"";
    EXPECT_EQ(rsfError(files, {h, "\"R\" \"0\" \"0x\""}),
              name +
                  ": line 2: \"R\" value \"0x\" is not a vertex id (a decimal number from 0 to "
                  "4294967295)");
    EXPECT_EQ(rsfError(files, {h, "\"PCR\" \"-1\" \"0\""}),
              name +
                  ": line 2: \"PCR\" value \"-1\" is not a vertex id (a decimal number from 0 "
                  "to 4294967295)");
    EXPECT_EQ(rsfError(files, {"\"Root\" \" 0\"", h}),
              name +
                  ": line 1: \"Root\" value \" 0\" is not a vertex id (a decimal number from 0 "
                  "to 4294967295)");
    EXPECT_EQ(rsfError(files, {h, "\"H\" \"-1\" \"b\""}),
              name + ": line 2: \"H\" id \"-1\" is negative");
}

TEST(GraphLoader, RefusesNumbersBeyond32Bits) {
    TempFiles files;
    const std::string name = files.path("bad.rsf");
    const std::string h = "\"H\" \"0\" \"a\"";
    EXPECT_EQ(rsfError(files, {h, "\"R\" \"0\" \"4294967296\""}),
              name + ": line 2: \"R\" value \"4294967296\" does not fit in 32 bits");
    EXPECT_EQ(rsfError(files, {"\"Root\" \"99999999999999999999\"", h}),
              name + ": line 1: \"Root\" value \"99999999999999999999\" does not fit in 32 bits");
    EXPECT_EQ(rsfError(files, {h, "\"H\" \"2147483648\" \"b\""}),
              name + ": line 2: \"H\" id \"2147483648\" does not fit in 32 bits");
    EXPECT_EQ(xmlError(files, "<g>\n<Node id=\"0\"/>\n <Node id=\"-2147483649\"/></g>"),
              files.path("bad.xml") +
                  ": line 3, column 2: attribute id=\"-2147483649\" does not fit in 32 bits");
}

TEST(GraphLoader, RefusesEdgesNamingVerticesNotDeclaredBefore) {
    TempFiles files;
    const std::string name = files.path("bad.rsf");
    EXPECT_EQ(rsfError(files, {"\"H\" \"0\" \"a\"", "\"PCR\" \"0\" \"1\"", "\"H\" \"1\" \"b\""}),
              name + ": line 2: \"PCR\" names vertex 1, which is not declared before it");
    EXPECT_EQ(rsfError(files, {"\"H\" \"0\" \"a\"", "\"R\" \"7\" \"0\""}),
              name + ": line 2: \"R\" names vertex 7, which is not declared before it");
    EXPECT_EQ(
        xmlError(files, "<Root>\n<Node id=\"0\"/>\n<RelationEdge start=\"0\" end=\"3\"/>\n</Root>"),
        files.path("bad.xml") +
            ": line 3, column 1: \"R\" names vertex 3, which is not declared before it");
}

TEST(GraphLoader, RefusesIdsWithGapsAndRootsNamingNoVertex) {
    TempFiles files;
    const std::string name = files.path("bad.rsf");
    EXPECT_EQ(rsfError(files, {"\"H\" \"0\" \"a\"", "\"H\" \"2\" \"c\""}),
              name + ": vertex ids must run from 0 to 1 without gaps, but no vertex has id 1");
    EXPECT_EQ(rsfError(files, {"\"H\" \"5\" \"a\""}),
              name + ": vertex ids must run from 0 to 0 without gaps, but no vertex has id 0");
    EXPECT_EQ(rsfError(files, {"\"H\" \"1\" \"a\"", "\"H\" \"1\" \"b\"", "\"H\" \"0\" \"c\"",
                               "\"H\" \"3\" \"d\""}),
              name + ": vertex ids must run from 0 to 2 without gaps, but no vertex has id 2");
    EXPECT_EQ(rsfError(files, {"\"H\" \"0\" \"a\"", "\"Root\" \"1\""}),
              name + ": line 2: the root 1 names no vertex");
}

TEST(GraphLoader, RefusesSecondParentsCyclesAndUnreachableVertices) {
    TempFiles files;
    const std::string name = files.path("bad.rsf");
    const std::vector<std::string> four = {"\"H\" \"0\" \"a\"", "\"H\" \"1\" \"b\"",
                                           "\"H\" \"2\" \"c\"", "\"H\" \"3\" \"d\""};
    auto with = [&](std::vector<std::string> edges) {
        std::vector<std::string> lines = four;
        lines.insert(lines.end(), edges.begin(), edges.end());
        return rsfError(files, lines);
    };
    EXPECT_EQ(with({"\"PCR\" \"0\" \"1\"", "\"PCR\" \"0\" \"2\"", "\"PCR\" \"1\" \"2\""}),
              name + ": line 7: vertex 2 already has a parent (hierarchy edge on line 6)");
    EXPECT_EQ(with({"\"PCR\" \"0\" \"1\"", "\"PCR\" \"1\" \"0\""}),
              name + ": line 6: the root 0 is made the child of another vertex");
    EXPECT_EQ(with({"\"PCR\" \"0\" \"1\"", "\"PCR\" \"2\" \"3\"", "\"PCR\" \"3\" \"2\""}),
              name +
                  ": line 7: the hierarchy has a cycle: the hierarchy edge into vertex 2 "
                  "closes it");
    EXPECT_EQ(with({"\"PCR\" \"0\" \"1\"", "\"PCR\" \"0\" \"2\"", "\"PCR\" \"3\" \"3\""}),
              name +
                  ": line 7: the hierarchy has a cycle: the hierarchy edge into vertex 3 "
                  "closes it");
    EXPECT_EQ(with({"\"PCR\" \"0\" \"1\"", "\"PCR\" \"3\" \"2\""}),
              name +
                  ": vertex 2 is not reachable from the root 0: its topmost ancestor 3 has no "
                  "parent");
    EXPECT_EQ(with({"\"PCR\" \"0\" \"1\"", "\"PCR\" \"0\" \"2\""}),
              name + ": vertex 3 is not reachable from the root 0: it has no parent");
}

TEST(GraphLoader, RefusesXmlNestedBeyondTheLimit) {
    TempFiles files;
    const int levels = 100'000;
    std::string text = "<?xml version=\"1.0\"?>\n<Root root_id=\"0\"><Node id=\"0\"/>\n";
    for (int i = 0; i < levels; ++i) text += "<x>";
    for (int i = 0; i < levels; ++i) text += "</x>";
    text += "</Root>\n";
    // Root is level 1, so the x opening level 2001 is the 2000th: 2000 tags of 3 characters in.
    EXPECT_EQ(xmlError(files, text), files.path("bad.xml") + ": line 3, column " +
                                         std::to_string(1 + 3 * 1999) +
                                         ": elements are nested deeper than 2000 levels");
}

TEST(GraphLoader, AcceptsXmlNestedUpToTheLimit) {
    TempFiles files;
    std::string text = "<Root root_id=\"0\">";
    for (int i = 1; i < GraphLoader::kMaxXmlNesting; ++i)
        text += "<Node id=\"" + std::to_string(i - 1) + "\">";
    for (int i = 1; i < GraphLoader::kMaxXmlNesting; ++i) text += "</Node>";
    text += "</Root>";
    LoadResult result = load(files.write("deep.xml", text));
    EXPECT_FALSE(result.ok());  // the vertices have no hierarchy edges, but were read
    EXPECT_EQ(result.error, files.path("deep.xml") +
                                ": vertex 1 is not reachable from the root 0: it has no parent");
}

TEST(GraphLoader, RefusesPathsTooLargeToStoreAfterReadingADeepChain) {
    // A 50,000-deep chain goes through both readers, the checks, building and freeing without
    // running out of call stack; its paths to the root would hold 50,000 * 50,001 / 2 ids.
    TempFiles files;
    const int depth = 50'000;
    const std::string expected =
        ": the paths to the root would hold 1250025000 vertex ids, more "
        "than the limit of 200000000; the hierarchy is too deep";
    const std::string rsf = files.write("chain.rsf", chainRsf(depth));
    const std::string xml = files.write("chain.xml", chainXml(depth));
    EXPECT_EQ(load(rsf).error, rsf + expected);
    EXPECT_EQ(load(xml).error, xml + expected);
}

TEST(GraphLoader, LoadsADeepChainWithinThePathLimit) {
    TempFiles files;
    const int depth = 5'000;
    for (const std::string& path :
         {files.write("chain.rsf", chainRsf(depth)), files.write("chain.xml", chainXml(depth))}) {
        SCOPED_TRACE(path);
        LoadResult result = load(path);
        ASSERT_TRUE(result.ok()) << result.error;
        const GraphStore& graph = *result.graph;
        EXPECT_EQ(graph.depthCount(), static_cast<size_t>(depth));
        const std::vector<uint32_t>& deepest = graph.getVertex(depth - 1)->pathToRoot();
        ASSERT_EQ(deepest.size(), static_cast<size_t>(depth));
        EXPECT_EQ(deepest.front(), static_cast<uint32_t>(depth - 1));
        EXPECT_EQ(deepest.back(), 0u);
        EXPECT_EQ(graph.getTreePath(*graph.getRelationEdge(0)).size(), static_cast<size_t>(depth));
    }
}

TEST(GraphLoader, RefusesFilesBeyondTheSizeLimitBeforeReadingThem) {
    TempFiles files;
    for (const std::string name : {"big.rsf", "big.xml"}) {
        // Sparse: the size is there, the bytes are not, and they are never read.
        const std::string path = files.write(name, rsfLines(kValidRsf));
        std::filesystem::resize_file(path, GraphLoader::kMaxFileBytes + 1);
        EXPECT_EQ(load(path).error,
                  path +
                      ": the file is 536870913 bytes, more than the limit of 536870912 bytes "
                      "(512 MiB)");
    }
}

TEST(GraphLoader, RefusesDevicesAndPipes) {
    EXPECT_EQ(load("/dev/zero").error, "/dev/zero: cannot be opened: it is not a regular file");
    TempFiles files;
    const std::string pipe = files.path("pipe.rsf");
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    // Opening a pipe without a writer would wait for ever.
    EXPECT_EQ(load(pipe).error, pipe + ": cannot be opened: it is not a regular file");
}

TEST(GraphLoader, AcceptsNamesUpToTheLimitAndRefusesLongerOnes) {
    TempFiles files;
    const std::string longest(GraphLoader::kMaxNameBytes, 'n');
    const std::string rest = "\"H\" \"1\" \"b\"\n\"PCR\" \"0\" \"1\"\n";
    LoadResult fits = load(files.write("fits.rsf", "\"H\" \"0\" \"" + longest + "\"\n" + rest));
    ASSERT_TRUE(fits.ok()) << fits.error;
    EXPECT_EQ(fits.graph->getVertex(0)->getName(), longest);

    const std::string rsf =
        files.write("long.rsf", "\"H\" \"1\" \"b\"\n\"H\" \"0\" \"" + longest + "n\"\n");
    EXPECT_EQ(load(rsf).error,
              rsf +
                  ": line 2: the name of vertex 0 is 65537 bytes long, more than the limit of "
                  "65536");
    const std::string xml = files.write(
        "long.xml", "<Root root_id=\"0\">\n  <Node id=\"0\" name=\"" + longest + "n\"/>\n</Root>");
    EXPECT_EQ(load(xml).error,
              xml +
                  ": line 2, column 3: the name of vertex 0 is 65537 bytes long, more than the "
                  "limit of 65536");
}

TEST(GraphLoader, QuotesOnlyTheStartOfLongValuesInMessages) {
    TempFiles files;
    const std::string name = files.path("bad.rsf");
    const std::string h = "\"H\" \"0\" \"a\"";
    // 63 bytes, then a two-byte character across the 64-byte mark: the cut goes before it.
    const std::string value = std::string(63, 'x') + "\xc3\xa4" + std::string(1'000'000, 'y');
    EXPECT_EQ(rsfError(files, {h, "\"R\" \"0\" \"" + value + "\""}),
              name + ": line 2: \"R\" value \"" + std::string(63, 'x') +
                  "...\" is not a vertex id (a decimal number from 0 to 4294967295)");
    const std::string digits(1'000'000, '9');
    EXPECT_EQ(rsfError(files, {h, "\"PCR\" \"0\" \"" + digits + "\""}),
              name + ": line 2: \"PCR\" value \"" + digits.substr(0, 64) +
                  "...\" does not fit in 32 bits");
    EXPECT_EQ(xmlError(files, "<g>\n<Node id=\"" + digits + "\"/></g>"),
              files.path("bad.xml") + ": line 2, column 1: attribute id=\"" + digits.substr(0, 64) +
                  "...\" does not fit in 32 bits");
}
