// ramiflex-export end to end: the built tool on a small data file.
#include "../../src/tools/ExportLayouts.h"
#include "GraphGenerator.h"
#include "GraphLoader.h"
#include "Trace.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>

namespace {

struct RunResult {
    std::string out;
    int status = -1;
};

// Runs the tool with the given arguments, standard error into errorFile.
RunResult runExport(const std::string& arguments, const std::string& errorFile) {
    const std::string command =
        std::string(RAMIFLEX_TOOLS_DIR) + "/ramiflex-export " + arguments + " 2>" + errorFile;
    RunResult result;
    std::FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return result;
    char buffer[65536];
    size_t read = 0;
    while ((read = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) result.out.append(buffer, read);
    const int status = pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

// Standard error of this test's runs; ctest runs the tests in parallel, so each gets its own.
std::string errorFileOfThisTest() {
    return testing::TempDir() + testing::UnitTest::GetInstance()->current_test_info()->name() +
           "_errors.txt";
}

std::string readFile(const std::string& name) {
    std::ifstream in(name);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(ExportTool, WritesTheLayoutSectionsOfAFile) {
    const std::string dir = testing::TempDir();
    const std::string file = dir + "ramiflex_export_small.rsf";
    GeneratorParams params;
    params.vertices = 40;
    params.fanOut = 3;
    params.maxDepth = 4;
    params.relations = 5;
    params.seed = 3;
    params.shuffleIds = true;
    {
        std::ofstream out(file);
        GraphGenerator(params).writeRsf(out);
    }
    const RunResult run = runExport(file + " --beta 0.25", errorFileOfThisTest());
    ASSERT_EQ(run.status, 0) << readFile(errorFileOfThisTest());

    // The same file loaded here and written by the section writers: the tool must have loaded,
    // computed all five views and kept the trace out of its output.
    setTraceStream(nullptr);
    LoadResult loaded = GraphLoader::load(file);
    ASSERT_TRUE(loaded.ok()) << loaded.error;
    g_graph = loaded.graph.get();
    const exportlayouts::Views views = exportlayouts::computeViews();
    std::FILE* expected = std::tmpfile();
    exportlayouts::writeLayoutSections(expected, *g_graph, views);
    std::string text;
    std::rewind(expected);
    char buffer[65536];
    size_t read = 0;
    while ((read = std::fread(buffer, 1, sizeof buffer, expected)) > 0) text.append(buffer, read);
    std::fclose(expected);
    g_graph = nullptr;
    setTraceStream(&std::cout);

    EXPECT_EQ(run.out.compare(0, text.size(), text), 0);
    EXPECT_EQ(run.out.rfind("graph\t40\t39\t5\t", 0), 0u);
    EXPECT_NE(run.out.find("\nrecord\t4\t39\t"), std::string::npos);
}

TEST(ExportTool, UnreadableFileFailsWithNothingOnStandardOutput) {
    const std::string dir = testing::TempDir();
    const RunResult run = runExport(dir + "no_such_file.rsf", errorFileOfThisTest());
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(readFile(errorFileOfThisTest()), "");
}

TEST(ExportTool, BetaOutsideZeroToOneIsRefused) {
    const std::string dir = testing::TempDir();
    for (const char* beta : {"1.5", "-0.1", "nan", "0.5x", ""}) {
        const RunResult run =
            runExport(dir + "any.rsf --beta '" + beta + "'", errorFileOfThisTest());
        EXPECT_NE(run.status, 0) << beta;
        EXPECT_EQ(run.out, "") << beta;
    }
}

}  // namespace
