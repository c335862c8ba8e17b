// ramiflex-export end to end: its output is a format that comparisons of layouts rely on.
#include "TempFiles.h"
#include "ToolRun.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

ToolRun runExport(const std::string& arguments) {
    return runTool("ramiflex-export", arguments, "2>/dev/null");
}

// A root with two leaves and a relation edge between them.
const char* const kSections =
    "graph\t3\t2\t1\t0\ndepths\t1\t2\n"
    "record\t0\t0\t0.25\t0\t0\t1\t0\t0\t0.200000003\n"
    "record\t0\t1\t0\t0.5\t0\t1\t0\t0\t0.200000003\n"
    "record\t0\t2\t0.5\t0.5\t0\t1\t0\t0\t0.200000003\n"
    "record\t1\t0\t0\t-1\t0\t1\t0\t0\t0.800000012\n"
    "record\t1\t1\t2.54388133e-09\t-0.5\t-0.0290986095\t1\t0\t0\t0.800000012\n"
    "record\t1\t2\t-5.08776266e-09\t-0.5\t0.0290986095\t1\t0\t0\t0.800000012\n"
    "record\t2\t0\t0.5\t0.5\t0.5\t0\t1\t1\t1\nrecord\t2\t1\t0.25\t0.5\t0.5\t0\t1\t1\t1\n"
    "record\t2\t2\t0.75\t0.5\t0.5\t0\t1\t1\t1\nrecord\t3\t0\t0.5\t0.5\t0.5\t0\t1\t1\t1\n"
    "record\t3\t1\t0.5\t0.5\t0.25\t0\t1\t1\t1\nrecord\t3\t2\t0.5\t0.5\t0.75\t0\t1\t1\t1\n"
    "record\t4\t0\t0\t0\t0\t1\t0\t0\t0.800000012\n"
    "record\t4\t1\t0.5\t0\t0\t1\t0\t0\t0.800000012\n"
    "record\t4\t2\t-0.5\t0\t-4.37113883e-08\t1\t0\t0\t0.800000012\n"
    "balloon\t0\t0.0290986089\t0.0190986092\t0\t0.0581972179\n"
    "balloon\t1\t0.00999999978\t0.00999999978\t3.14159\t0.0628317986\n"
    "balloon\t2\t0.00999999978\t0.00999999978\t3.14159\t0.0628317986\n"
    "cell\t2\t0\t1\t1\t1,2\ncell\t2\t1\t0.5\t1\t\ncell\t2\t2\t0.5\t1\t\n"
    "cell\t3\t0\t1\t1\t1|2\ncell\t3\t1\t1\t0.5\t\ncell\t3\t2\t1\t0.5\t\n";

}  // namespace

TEST(ExportTool, WritesTheSectionsAndOneCurveLinePerView) {
    TempFiles files;
    const std::string file =
        files.write("g.rsf",
                    "\"Root\" \"0\"\n\"H\" \"0\" \"root\"\n\"H\" \"1\" \"a\"\n\"H\" \"2\" \"b\"\n"
                    "\"PCR\" \"0\" \"1\"\n\"PCR\" \"0\" \"2\"\n\"R\" \"1\" \"2\"\n");
    const ToolRun run = runExport(file + " --beta 0");
    ASSERT_EQ(run.status, 0);
    ASSERT_EQ(run.out.substr(0, std::string(kSections).size()), kSections);
    std::istringstream curves(run.out.substr(std::string(kSections).size()));
    int views = 0;
    for (std::string line; std::getline(curves, line); ++views) {
        std::istringstream fields(line);
        std::string tag;
        int view;
        fields >> tag >> view;
        EXPECT_EQ(tag, "curve");
        EXPECT_EQ(view, views);
        std::vector<double> values;
        for (double x; fields >> x;) values.push_back(x);
        ASSERT_EQ(values.size(), 5u + 150u);  // edge, path, controls, length, texture; samples
    }
    EXPECT_EQ(views, 5);
    // Refused: a beta outside 0 to 1 (of a file that loads), and a file that cannot be read.
    for (const std::string& arguments :
         {file + " --beta 1.5", file + " --beta -0.1", file + " --beta nan", file + " --beta 0.5x",
          file + " --beta ''", files.path("missing.rsf")}) {
        const ToolRun refused = runExport(arguments);
        EXPECT_NE(refused.status, 0) << arguments;
        EXPECT_EQ(refused.out, "") << arguments;
    }
}

// A folder a of two files collapsed at depth 1: the edge between its files is internal, its two
// edges to b merge into one of weight 2, b's edge back stays one. Then a file excluded.
TEST(ExportTool, WritesTheShownGraphsVisibleAndMergedLines) {
    TempFiles files;
    const std::string file = files.write(
        "g.rsf",
        "\"Root\" \"0\"\n\"H\" \"0\" \"root\"\n\"H\" \"1\" \"a\"\n\"H\" \"2\" \"b\"\n"
        "\"H\" \"3\" \"a1\"\n\"H\" \"4\" \"a2\"\n\"PCR\" \"0\" \"1\"\n\"PCR\" \"0\" \"2\"\n"
        "\"PCR\" \"1\" \"3\"\n\"PCR\" \"1\" \"4\"\n"
        "\"R\" \"3\" \"4\"\n\"R\" \"3\" \"2\"\n\"R\" \"4\" \"2\"\n\"R\" \"2\" \"3\"\n");
    auto shownLines = [](const std::string& out) {
        std::istringstream lines(out);
        std::string shown;
        for (std::string line; std::getline(lines, line);) {
            const std::string tag = line.substr(0, line.find('\t'));
            if (tag == "graph" || tag == "visible" || tag == "merged") shown += line + '\n';
        }
        return shown;
    };
    const struct {
        std::string arguments;
        std::string lines;
    } cases[] = {
        {" --depth 1",
         "graph\t3\t2\t2\t0\nvisible\t0\t0\t0\t0\nvisible\t1\t1\t2\t1\nvisible\t2\t2\t0\t0\n"
         "merged\t0\t1\t2\t2\nmerged\t1\t2\t1\t1\n"},
        {" --exclude '*/a2' --exclude x",
         "graph\t4\t3\t2\t0\nvisible\t0\t0\t0\t0\nvisible\t1\t1\t0\t0\nvisible\t2\t2\t0\t0\n"
         "visible\t3\t3\t0\t0\nmerged\t0\t3\t2\t1\nmerged\t1\t2\t3\t1\n"},
    };
    for (const auto& c : cases) {
        const ToolRun run = runExport(file + c.arguments);
        EXPECT_EQ(run.status, 0) << c.arguments;
        EXPECT_EQ(shownLines(run.out), c.lines) << c.arguments;
    }
    // Refused: a depth that is no whole number from 0 up, a missing pattern, one that
    // matches the root.
    for (const std::string& arguments :
         {file + " --depth -1", file + " --depth x", file + " --depth", file + " --exclude",
          file + " --exclude 'r*'"}) {
        const ToolRun refused = runExport(arguments);
        EXPECT_EQ(refused.status, 2) << arguments;
        EXPECT_EQ(refused.out, "") << arguments;
    }
}
