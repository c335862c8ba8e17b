#include "LoadXMLTree.h"
#include "TempFiles.h"
#include "Trace.h"
#include "XmlNesting.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iostream>
#include <sstream>

namespace {

using Values = std::vector<std::string>;

struct Read {
    std::vector<DataRecord> records;
    LoadXMLTree::Problem problem;
    std::string trace;
};

Read readXml(const TempFiles& files, const std::string& text, size_t splitBytes = 8 << 20,
             int maxNesting = 2'000, bool silent = false) {
    const std::string path = files.write("graph.xml", text);
    std::ostringstream captured;
    setTraceStream(silent ? nullptr : &captured);
    LoadXMLTree reader(maxNesting, splitBytes);
    Read result;
    result.records = reader.read(path.c_str());
    setTraceStream(&std::cout);
    result.problem = reader.problem();
    result.trace = captured.str();
    return result;
}

// key and values of each record, one string per record, for compact comparisons
std::vector<std::string> summary(const std::vector<DataRecord>& records) {
    std::vector<std::string> lines;
    for (const DataRecord& record : records) {
        std::string line = record.key;
        for (const std::string& value : record.values) line += " " + value;
        lines.push_back(line);
    }
    return lines;
}

const char* const kExample =
    "<?xml version=\"1.0\"?>\n"
    "<Root root_id=\"0\">\n"
    "  <Node id=\"0\" name=\"top\"/>\n"
    "  <Node id=\"1\" name=\"a\"/>\n"
    "  <Node id=\"2\" name=\"b\"/>\n"
    "  <HierarchyEdge start=\"0\" end=\"1\"/>\n"
    "  <HierarchyEdge start=\"0\" end=\"2\"/>\n"
    "  <RelationEdge start=\"1\" end=\"2\"/>\n"
    "</Root>\n";

const std::vector<std::string> kExampleRecords = {"Root 0",  "H 0 top", "H 1 a", "H 2 b",
                                                  "PCR 0 1", "PCR 0 2", "R 1 2"};

}  // namespace

TEST(LoadXMLTree, ExampleFileGivesItsRecordsWithPlaces) {
    TempFiles files;
    Read read = readXml(files, kExample);
    EXPECT_TRUE(read.problem.text.empty()) << read.problem.text;
    EXPECT_EQ(summary(read.records), kExampleRecords);
    EXPECT_EQ(read.records[0].line, 2);
    EXPECT_EQ(read.records[0].column, 1);
    EXPECT_EQ(read.records[6].line, 8);
    EXPECT_EQ(read.records[6].column, 3);
}

TEST(LoadXMLTree, WritesItsTraceLines) {
    TempFiles files;
    Read read = readXml(files, "<Root root_id=\"0\">hello<Node id=\"0\"/></Root>");
    EXPECT_EQ(read.trace, "READXMLFILE\npParent->Value():" + files.path("graph.xml") +
                              "\npParent->Value():Root\npParent->Value():hello\npText: hello\n"
                              "pParent->Value():Node\n");
}

TEST(LoadXMLTree, NestingDoesNotChangeTheRecords) {
    TempFiles files;
    const char* const shapes[] = {
        // flat under another document element
        "<Graph><Root root_id=\"0\"/><Node id=\"0\" name=\"top\"/><Node id=\"1\" name=\"a\"/>"
        "<Node id=\"2\" name=\"b\"/><HierarchyEdge start=\"0\" end=\"1\"/>"
        "<HierarchyEdge start=\"0\" end=\"2\"/><RelationEdge start=\"1\" end=\"2\"/></Graph>",
        // nodes inside nodes, edges inside edges
        "<Root root_id=\"0\"><Node id=\"0\" name=\"top\"><Node id=\"1\" name=\"a\"><Node id=\"2\" "
        "name=\"b\"/></Node></Node><x><HierarchyEdge start=\"0\" end=\"1\"><HierarchyEdge "
        "start=\"0\" end=\"2\"><RelationEdge start=\"1\" end=\"2\"/></HierarchyEdge>"
        "</HierarchyEdge></x></Root>",
    };
    for (const char* shape : shapes) {
        SCOPED_TRACE(shape);
        EXPECT_EQ(summary(readXml(files, shape).records), kExampleRecords);
    }
}

TEST(LoadXMLTree, RemembersAttributesAcrossElements) {
    TempFiles files;
    Read read = readXml(files,
                        "<g>"
                        "<Node id=\"0\"/>"                  // no name read yet: empty
                        "<Node id=\"1\" name=\"one\"/>"     //
                        "<Node id=\"2\"/>"                  // previous name
                        "<Node id=\"3abc\" name=\"x\"/>"    // digits then letters
                        "<Node id=\"abc\" name=\"y\"/>"     // no number: id stays 3
                        "<Other id=\"7\" name=\"z\"/>"      // other elements count too
                        "<Node/>"                           // id 7, name z
                        "<Node id=\" -4\" name=\"w\"/>"     // scanf skips blanks, keeps sign
                        "<node id=\"9\"/><NODE id=\"9\"/>"  // wrong case: nothing
                        "<HierarchyEdge start=\"1\" end=\"2\"/>"
                        "<RelationEdge end=\"5\"/>"  // start remembered
                        "</g>");
    EXPECT_EQ(summary(read.records),
              (std::vector<std::string>{"H 0 ", "H 1 one", "H 2 one", "H 3 x", "H 3 y", "H 7 z",
                                        "H -4 w", "PCR 1 2", "R 1 5"}));
}

TEST(LoadXMLTree, WithoutRootElementThereIsNoRootRecord) {
    TempFiles files;
    Read read = readXml(files, "<g><Node id=\"0\" name=\"a\"/></g>");
    EXPECT_EQ(summary(read.records), std::vector<std::string>{"H 0 a"});
}

TEST(LoadXMLTree, NumberBeyond32BitsIsAProblemWithItsPlace) {
    TempFiles files;
    Read read = readXml(files, "<g>\n  <Node id=\"1\"/>\n  <Node id=\"99999999999\"/>\n</g>");
    EXPECT_EQ(read.problem.text, "attribute id=\"99999999999\" does not fit in 32 bits");
    EXPECT_EQ(read.problem.line, 3);
    EXPECT_EQ(read.problem.column, 3);
    // The remembered id is not replaced by a wrapped number.
    EXPECT_EQ(summary(read.records), (std::vector<std::string>{"H 1 ", "H 1 "}));
}

TEST(LoadXMLTree, MalformedDocumentIsAProblemWithTheParsersPlace) {
    TempFiles files;
    Read read = readXml(files, "<g>\n<Node id=\"0\"/>\n</h>\n");
    EXPECT_NE(read.problem.text.find("not well-formed XML: "), std::string::npos);
    EXPECT_EQ(read.problem.line, 3);
    EXPECT_GT(read.problem.column, 0);
}

TEST(LoadXMLTree, MissingFileIsAProblem) {
    TempFiles files;
    LoadXMLTree reader;
    setTraceStream(nullptr);
    auto records = reader.read(files.path("missing.xml").c_str());
    setTraceStream(&std::cout);
    EXPECT_TRUE(records.empty());
    EXPECT_FALSE(reader.problem().text.empty());
}

TEST(LoadXMLTree, NestingDeeperThanTheLimitIsRefusedBeforeParsing) {
    TempFiles files;
    std::string atLimit = "<a>\n<b>\n<c/></b></a>";  // three levels
    EXPECT_TRUE(readXml(files, atLimit, 8 << 20, 3).problem.text.empty());
    Read deep = readXml(files, "<a>\n<b>\n  <c><d/></c></b></a>", 8 << 20, 3);
    EXPECT_EQ(deep.problem.text, "elements are nested deeper than 3 levels");
    EXPECT_EQ(deep.problem.line, 3);
    EXPECT_EQ(deep.problem.column, 6);
    EXPECT_TRUE(deep.records.empty());
}

TEST(XmlNesting, CountsOnlyRealElementLevels) {
    auto fits = [](const std::string& text, int limit) {
        return scanXmlOutline(text, limit).tooDeepAt == std::string_view::npos;
    };
    // Two levels, whatever hides in comments, CDATA, instructions and quoted values.
    const std::string two =
        "<?xml version=\"1.0\"?><!DOCTYPE a><!-- <x><x><x> --><a k=\"/>\" j='<x>'>"
        "<![CDATA[<x><x><x>]]><?pi x ?><b/><b></b><b u=\"a/\"></b><!----></a><a/>";
    EXPECT_TRUE(fits(two, 2));
    EXPECT_FALSE(fits(two, 1));
    // A quoted value ending in '/' does not make its tag empty; an empty element is a level.
    EXPECT_FALSE(fits("<a><b u=\"/\"><c/></b></a>", 2));
    EXPECT_TRUE(fits("<a><b/><b/></a>", 2));
    // An instruction ends at its first '>', as the parser reads it: what follows is elements.
    EXPECT_FALSE(fits("<a><?pi <x><x><x> ?></a>", 2));
    EXPECT_FALSE(fits("<a><b/><b/></a>", 1));
    // End tags that close nothing do not make room for deeper levels.
    EXPECT_FALSE(fits("</x></x><a><b><c/></b></a>", 2));
    EXPECT_EQ(scanXmlOutline("<a>\n <b><c/></b></a>", 2).tooDeepAt, 8u);
    // A start tag cut off by the end of the text (or by a NUL byte, where the text ends) is a
    // level too: the parser makes the element before it finds the tag broken.
    EXPECT_FALSE(fits("<a><b><c", 2));
    EXPECT_TRUE(fits("<a><b", 2));
    EXPECT_FALSE(fits("<a><b u=\"x><c/></b></a>", 1));
}

TEST(LoadXMLTree, ElementOfABrokenTagDeeperThanTheLimitIsRefused) {
    TempFiles files;
    const char text[] = "<a><b><c\0<d/></c></b></a>";
    Read broken = readXml(files, std::string(text, sizeof text - 1), 8 << 20, 2);
    EXPECT_EQ(broken.problem.text, "elements are nested deeper than 2 levels");
    EXPECT_EQ(broken.problem.column, 7);
    EXPECT_TRUE(readXml(files, "<a><b", 8 << 20, 2).problem.text.rfind("not well-formed", 0) == 0);
}

TEST(XmlNesting, SplitPointsAreChildrenOfTheDocumentElementThatBeginALine) {
    const std::string text =
        "<?xml version=\"1.0\"?>\n<g a=\"1\">\n <x><y/>\n<y/></x>\n\t<x/><x/>\n <x/>\n</g>\n";
    XmlOutline outline = scanXmlOutline(text, 100, 8);
    EXPECT_EQ(outline.documentElement, "g");
    EXPECT_EQ(outline.documentElementAt, text.find("<g"));
    ASSERT_FALSE(outline.splits.empty());
    for (size_t split : outline.splits) {
        EXPECT_EQ(text.compare(split, 2, "<x"), 0) << split;
        const size_t lineStart = text.rfind('\n', split) + 1;
        EXPECT_EQ(text.find_first_not_of(" \t", lineStart), split);
    }
    // The nested <y/> on its own line is no split point, nor the second <x/> on a line.
    EXPECT_EQ(std::count(outline.splits.begin(), outline.splits.end(), text.find("<y/>\n<y/>") + 5),
              0);
}

TEST(LoadXMLTree, ParsingInPartsGivesWhatParsingWholeGives) {
    TempFiles files;
    std::string text =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!-- graph -->\n<Root root_id=\"0\">\n";
    for (int i = 0; i < 200; ++i) {
        const std::string id = std::to_string(i);
        text += (i % 3 ? "  " : "\t") + std::string("<Node id=\"") + id + "\" name=\"n\xC3\xA9" +
                id + "\"/>\n";
        if (i > 0)
            text += "  <HierarchyEdge start=\"" + std::to_string(i / 2) + "\" end=\"" + id + "\"/>";
        if (i % 7 == 0) text += "<!-- <Node id=\"999\"/> -->";
        if (i % 11 == 0) text += "text &amp; more<![CDATA[<Node id=\"998\"/>]]>";
        if (i % 13 == 0)
            text += "\n  <Other id=\"" + id + "\" note=\"a > b / c\"><RelationEdge/></Other>";
        text += "\n";
    }
    text += "</Root>\n<!-- after -->\n<Tail><RelationEdge start=\"3\" end=\"4\"/></Tail>\n";

    Read whole = readXml(files, text);
    Read parts = readXml(files, text, 64);
    ASSERT_TRUE(whole.problem.text.empty()) << whole.problem.text;
    ASSERT_TRUE(parts.problem.text.empty()) << parts.problem.text;
    ASSERT_EQ(summary(parts.records), summary(whole.records));
    for (size_t i = 0; i < whole.records.size(); ++i) {
        EXPECT_EQ(parts.records[i].line, whole.records[i].line) << i;
        EXPECT_EQ(parts.records[i].column, whole.records[i].column) << i;
    }
    EXPECT_EQ(parts.trace, whole.trace);
    EXPECT_EQ(whole.records.back().key, "R");
}

TEST(LoadXMLTree, PartsKeepTheRowsOfAParserThatMissesLineBreaksInBrokenUtf8) {
    // In UTF-8 the parser counts rows by stepping over each sequence at the length its lead byte
    // announces, so a line break right after a lead byte goes uncounted, wherever it stands: in
    // an unquoted value, a name, a comment. Parts must still give the whole file's rows.
    TempFiles files;
    const std::vector<std::string> breaks = {"<Node id=\"1\" name=x\xC8\n/>",
                                             "<Node\xE2\n id=\"1\"/>",
                                             "<!-- \xF0"
                                             "a\n -->"};
    for (const std::string& broken : breaks) {
        for (const char* declaration : {"<?xml version=\"1.0\"?>\n", ""}) {
            std::string text = std::string(declaration) + "<Root>\n";
            for (int i = 0; i < 60; ++i) {
                text += "<Node id=\"" + std::to_string(i) + "\"/>\n";
                if (i == 5) text += broken + "\n";
            }
            text += "<RelationEdge start=\"1\" end=\"2\"/>\n</Root>\n";
            Read whole = readXml(files, text);
            Read parts = readXml(files, text, 64);
            ASSERT_EQ(summary(parts.records), summary(whole.records));
            for (size_t i = 0; i < whole.records.size(); ++i) {
                EXPECT_EQ(parts.records[i].line, whole.records[i].line) << i;
            }
            // Without a declaration every byte is a character and every line break counts.
            const int lines = static_cast<int>(std::count(text.begin(), text.end(), '\n'));
            EXPECT_EQ(whole.records.back().line, *declaration ? lines - 2 : lines - 1);
        }
    }
}

TEST(LoadXMLTree, PartsWalkedAtOnceCarryRememberedValuesAcross) {
    // With the trace silenced the parts are walked at the same time; elements early in a part
    // that lack attributes must still get the values remembered at the end of the part before.
    TempFiles files;
    std::string text = "<Root root_id=\"3\">\n";
    for (int i = 0; i < 400; ++i) {
        const std::string n = std::to_string(i);
        switch (i % 6) {
            case 0:
                text += "<Node/>\n";
                break;
            case 1:
                text += "<Node id=\"" + n + "\"/>\n";
                break;
            case 2:
                text += "<Node name=\"n" + n + "\"/>\n";
                break;
            case 3:
                text += "<HierarchyEdge end=\"" + n + "\"/>\n";
                break;
            case 4:
                text += "<RelationEdge/><Root/>\n";
                break;
            case 5:
                text += "<Other start=\"" + n + "\" root_id=\"x" + n + "\"/>\n";
                break;
        }
        if (i == 250) text += "<Node id=\"4294967296\"/>\n";
        if (i == 350) text += "<Node id=\"-4294967296\"/>\n";
    }
    text += "</Root>\n";
    Read whole = readXml(files, text);
    for (size_t splitBytes : {64, 700, 3000}) {
        SCOPED_TRACE(splitBytes);
        Read parts = readXml(files, text, splitBytes, 2'000, true);
        EXPECT_EQ(summary(parts.records), summary(whole.records));
        for (size_t i = 0; i < whole.records.size() && i < parts.records.size(); ++i) {
            EXPECT_EQ(parts.records[i].line, whole.records[i].line) << i;
        }
        EXPECT_EQ(parts.problem.text, whole.problem.text);
        EXPECT_EQ(parts.problem.line, whole.problem.line);
    }
    EXPECT_EQ(whole.problem.text, "attribute id=\"4294967296\" does not fit in 32 bits");
}

TEST(LoadXMLTree, MalformedDocumentInPartsReportsAsWhole) {
    TempFiles files;
    std::string text = "<Root>\n";
    for (int i = 0; i < 100; ++i) text += "<Node id=\"" + std::to_string(i) + "\"/>\n";
    text += "<Node id=\"5\">\n</Root>\n";  // never closed
    Read whole = readXml(files, text);
    Read parts = readXml(files, text, 64);
    EXPECT_FALSE(whole.problem.text.empty());
    EXPECT_EQ(parts.problem.text, whole.problem.text);
    EXPECT_EQ(parts.problem.line, whole.problem.line);
    EXPECT_EQ(parts.problem.column, whole.problem.column);
}

TEST(LoadXMLTree, PartsAfterWhereTheParserStopsInTheProlog) {
    // The parser ends a DOCTYPE at its first '>' and then stops, without an error, at the "]>"
    // of the internal subset: parsing the whole file gives no elements at all. Parsing in parts
    // must not read the elements of the later parts as if the document element had been reached.
    TempFiles files;
    std::string text = "<!DOCTYPE g [<!ELEMENT g ANY>]>\n<g>\n";
    for (int i = 0; i < 50; ++i) text += " <Node id=\"" + std::to_string(i) + "\"/>\n";
    text += "</g>\n";
    Read whole = readXml(files, text);
    EXPECT_TRUE(whole.records.empty());
    for (bool silent : {false, true}) {
        Read parts = readXml(files, text, 64, 2'000, silent);
        EXPECT_EQ(summary(parts.records), summary(whole.records));
        EXPECT_EQ(parts.problem.text, whole.problem.text);
    }
}

TEST(XmlNesting, DeclarationsEndWhereTheParserEndsThem) {
    auto fits = [](const std::string& text, int limit) {
        return scanXmlOutline(text, limit).tooDeepAt == std::string_view::npos;
    };
    // The parser reads a declaration's version, encoding and standalone values as attributes, so
    // a '>' in a quoted value does not end it; what the value hides is no element.
    EXPECT_TRUE(fits("<?xml version=\"<b><c>\"?><a/>", 1));
    EXPECT_TRUE(fits("<?XML Encoding='>' ?><a><b/></a>", 2));
    // Other text of a declaration runs to white space or '>' only.
    EXPECT_FALSE(fits("<?xml other=\"1?><a><b/></a>\"?>", 1));
    // Where the quote of a declaration's value is never closed, the parser never comes out of
    // it: what follows is no element either.
    EXPECT_TRUE(fits("<?xml version=\"1.0?>\n<a><b><c/></b></a>", 1));
    // In UTF-8 the parser passes over byte order marks wherever it skips white space, also
    // between a declaration's '=' and the quote of its value.
    EXPECT_FALSE(
        fits("\xEF\xBB\xBF<r><?xml encoding=\xEF\xBB\xBF\"a>b\"?><a><b><c/></b></a></r>", 3));
    // A declaration inside an element: its quoted value must not shift which later quotes the
    // scan pairs, or it would hide elements that the parser builds.
    const std::string shifted =
        "<r>\n <?xml version=\"1?>\n<x a=\"10<x a=\"10\">\n<n>\n<n "
        "i=\"16\"/>\n<n><b><c><d/></c></b>"
        "</n></n></r>";
    EXPECT_FALSE(fits(shifted, 5));
}

TEST(LoadXMLTree, TextEndsAtItsFirstNulEvenInsideAUtf8Sequence) {
    // The parser steps over a UTF-8 sequence by its lead byte's length; a lead byte right before
    // the NUL must not carry it into the bytes the NUL cut off.
    TempFiles files;
    const char text[] = "<?xml version=\"1.0\"?>\n<a>\xF0\0\0\0<Node id=\"7\" name=\"x\"/></a>";
    Read read = readXml(files, std::string(text, sizeof text - 1));
    EXPECT_TRUE(read.records.empty());
    EXPECT_EQ(read.problem.text.rfind("not well-formed XML", 0), 0u) << read.problem.text;
}

TEST(XmlNesting, ReadsTextAndValuesAsTheParserDoes) {
    auto outline = [](const std::string& text, int limit) { return scanXmlOutline(text, limit); };
    // The parser takes "&#x" up to the next ';' as one character when the characters before that
    // ';' back to an 'x' are hex digits, whatever lies between: here it reads the value on past
    // its closing quote, and then elements three levels deep.
    const std::string reference = "<r><a v=\"&#x\"x1;\"><b><c/></b></a></r>";
    EXPECT_EQ(outline(reference, 3).misreadAt, reference.find('&'));
    // In UTF-8 it steps over a sequence by its lead byte: here over the start of a comment.
    const std::string sequence = "<?xml version=\"1.0\"?><r>\xF0<!--<a><b><c/></b></a>--></r>";
    EXPECT_EQ(outline(sequence, 3).misreadAt, sequence.find('\xF0'));
    // Over a line break it would count the lines after it differently from the file.
    const std::string lineBreak = "<?xml version=\"1.0\"?><r>\xE9\n <a/></r>";
    EXPECT_EQ(outline(lineBreak, 3).misreadAt, lineBreak.find('\xE9'));
    // In another encoding each byte is a character, and the comment is one.
    const std::string latin1 =
        "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><r>\xF0<!--<a><b><c/></b></a>--></r>";
    EXPECT_EQ(outline(latin1, 3).misreadAt, std::string_view::npos);
    EXPECT_EQ(outline(latin1, 3).tooDeepAt, std::string_view::npos);
    // Well-formed references and sequences are read as they stand.
    const std::string plain =
        "\xEF\xBB\xBF<r a=\"&#65;&#x42;&amp;\xC3\xA9\">&#67;\xE2\x82\xAC &#;<b/></r>";
    EXPECT_EQ(outline(plain, 2).misreadAt, std::string_view::npos);
    EXPECT_EQ(outline(plain, 1).tooDeepAt, plain.find("<b/>"));
    // Between top-level nodes the parser stops at anything but '<': here at the "]>" of an
    // internal DTD subset, before the elements.
    EXPECT_EQ(outline("<!DOCTYPE g [<!ELEMENT g ANY>]>\n<g><a><b/></a></g>", 1).tooDeepAt,
              std::string_view::npos);
}

TEST(LoadXMLTree, MisreadReferenceIsRefusedWithItsPlace) {
    TempFiles files;
    Read read = readXml(files, "<r>\n  <a v=\"&#x\"x1;\"><b><c/></b></a></r>", 8 << 20, 3);
    EXPECT_EQ(read.problem.text,
              "not well-formed XML: a UTF-8 sequence or character reference is cut short");
    EXPECT_EQ(read.problem.line, 2);
    EXPECT_EQ(read.problem.column, 9);
    EXPECT_TRUE(read.records.empty());
}
