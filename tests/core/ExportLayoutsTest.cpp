// The layout sections of ramiflex-export, written for a small graph and read back.
#include "../../src/tools/ExportLayouts.h"
#include "LayoutTestGraph.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>

namespace {

std::string writtenBy(void (*write)(std::FILE*, const GraphStore&, const exportlayouts::Views&),
                      const GraphStore& graph, const exportlayouts::Views& views) {
    std::FILE* file = std::tmpfile();
    write(file, graph, views);
    std::fflush(file);
    std::string text;
    std::rewind(file);
    char buffer[4096];
    size_t read = 0;
    while ((read = std::fread(buffer, 1, sizeof buffer, file)) > 0) text.append(buffer, read);
    std::fclose(file);
    return text;
}

std::vector<std::string> linesStartingWith(const std::string& text, const std::string& prefix) {
    std::vector<std::string> lines;
    std::istringstream stream(text);
    std::string line;
    while (std::getline(stream, line)) {
        if (line.compare(0, prefix.size(), prefix) == 0) lines.push_back(line);
    }
    return lines;
}

std::vector<double> numbersOf(const std::string& line) {
    std::vector<double> numbers;
    std::istringstream stream(line.substr(line.find('\t') + 1));
    double number;
    while (stream >> number) numbers.push_back(number);
    return numbers;
}

TEST(ExportLayouts, SectionsOfARootWithTwoLeaves) {
    PublishedGraph graph({{"Root", {"0"}},
                          {"H", {"0", "root"}},
                          {"H", {"1", "a"}},
                          {"H", {"2", "b"}},
                          {"PCR", {"0", "1"}},
                          {"PCR", {"0", "2"}},
                          {"R", {"1", "2"}}});
    const exportlayouts::Views views = exportlayouts::computeViews();
    const std::string text = writtenBy(exportlayouts::writeLayoutSections, graph.store(), views);

    EXPECT_EQ(text.substr(0, text.find("record")), "graph\t3\t2\t1\t0\ndepths\t1\t2\n");
    EXPECT_EQ(linesStartingWith(text, "record\t0\t"),
              (std::vector<std::string>{"record\t0\t0\t0.25\t0\t0\t1\t0\t0\t0.200000003",
                                        "record\t0\t1\t0\t0.5\t0\t1\t0\t0\t0.200000003",
                                        "record\t0\t2\t0.5\t0.5\t0\t1\t0\t0\t0.200000003"}));
    EXPECT_EQ(linesStartingWith(text, "record\t3\t"),
              (std::vector<std::string>{"record\t3\t0\t0.5\t0.5\t0.5\t0\t1\t1\t1",
                                        "record\t3\t1\t0.5\t0.5\t0.25\t0\t1\t1\t1",
                                        "record\t3\t2\t0.5\t0.5\t0.75\t0\t1\t1\t1"}));
    EXPECT_EQ(linesStartingWith(text, "cell\t"),
              (std::vector<std::string>{"cell\t2\t0\t1\t1\t1,2", "cell\t2\t1\t0.5\t1\t",
                                        "cell\t2\t2\t0.5\t1\t", "cell\t3\t0\t1\t1\t1|2",
                                        "cell\t3\t1\t1\t0.5\t", "cell\t3\t2\t1\t0.5\t"}));

    // Radial: the two leaves opposite each other on the circle of radius 1/2.
    const auto radial = linesStartingWith(text, "record\t4\t");
    ASSERT_EQ(radial.size(), 3u);
    const std::vector<double> second = numbersOf(radial[2]);
    ASSERT_EQ(second.size(), 9u);
    EXPECT_EQ(second[2], -0.5);
    EXPECT_NEAR(second[4], 0.0, 1e-7);

    // Balloon: one line per vertex, the leaves with the leaf radius, the root larger.
    const auto balloons = linesStartingWith(text, "balloon\t");
    ASSERT_EQ(balloons.size(), 3u);
    // Two children: each a half turn from the other; the deepest leaves keep 2 pi r0.
    EXPECT_EQ(balloons[1], "balloon\t1\t0.00999999978\t0.00999999978\t3.14159\t0.0628317986");
    EXPECT_GT(numbersOf(balloons[0])[1], 0.01);
    EXPECT_EQ(linesStartingWith(text, "record\t1\t0\t")[0],
              "record\t1\t0\t0\t-1\t0\t1\t0\t0\t0.800000012");

    // Sections in order: graph, depths, records by view, balloons, cells by view.
    EXPECT_LT(text.find("record\t4"), text.find("balloon"));
    EXPECT_LT(text.find("balloon"), text.find("cell\t2"));
    EXPECT_LT(text.find("cell\t2"), text.find("cell\t3"));
    EXPECT_EQ(text.back(), '\n');
}

}  // namespace
