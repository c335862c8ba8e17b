#include "GraphGenerator.h"
#include "GraphLoader.h"
#include "GraphOpening.h"
#include "VertexExclusion.h"
#include "OverviewDepth.h"
#include "TempFiles.h"
#include "ViewFactory.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstring>
#include <fstream>
#include <sstream>
#include <system_error>
#include <thread>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Vertices, fan-out, depth, relation edges, seed, shuffled ids.
std::string generatedRsf(const TempFiles& files,
                         GeneratorParams params = {3000, 4, 8, 4000, 7, true}) {
    std::ostringstream text;
    GraphGenerator(params).writeRsf(text);
    return files.write("generated.rsf", text.str());
}

bool sameBits(const View& a, const View& b) {
    if (a.records().size() != b.records().size()) return false;
    for (const auto& [id, record] : a.records()) {
        if (!b.records().contains(id)) return false;
        const LayoutRecord other = b.getRecord(id);
        if (std::memcmp(&record, &other, sizeof(LayoutRecord)) != 0) return false;
    }
    return true;
}

}  // namespace

// Opened on another thread, as the viewer opens files in the background: the layouts are those
// of the file, bit for bit.
TEST(GraphOpening, LaysOutTheFileOnAnyThread) {
    TempFiles files;
    const std::string path = generatedRsf(files);

    OpenedGraph opened;
    std::thread([&] { opened = GraphOpening::open(path); }).join();
    ASSERT_TRUE(opened.ok()) << opened.error;
    EXPECT_FALSE(opened.cancelled);
    EXPECT_EQ(opened.graph->vertexCount(), 3000u);

    LoadResult loaded = GraphLoader::load(path);
    const auto expected = calculateFiveViews(*loaded.graph);
    for (int type = 0; type < 5; ++type) {
        ASSERT_NE(opened.views[type], nullptr);
        EXPECT_TRUE(sameBits(*opened.views[type], *expected[type])) << "view " << type;
    }
    // The controls against the core's curves are the pipeline fuzz target's check; their basis
    // texels are checked where the GPU evaluates the curves from them.
    ASSERT_NE(opened.curves, nullptr);
    EXPECT_EQ(opened.curves->curveCount(), loaded.graph->relationEdgeCount());
}

// Stopped as any phase starts, an opening ends cancelled with nothing built and no error; the
// weights of the progress shown rise from 0 towards 1 and every phase has a name.
TEST(GraphOpening, StopsAtEveryPhaseLeavingNothingBehind) {
    TempFiles files;
    const std::string path = generatedRsf(files);
    for (int stop = 0; stop < GraphOpening::kPhaseCount; ++stop) {
        int heard = 0;
        const OpenedGraph opened = GraphOpening::open(path, [&](int phase) {
            EXPECT_EQ(phase, heard);
            ++heard;
            return phase != stop;
        });
        EXPECT_TRUE(opened.cancelled && !opened.ok()) << "stopped at " << stop;
        EXPECT_TRUE(opened.error.empty()) << opened.error;
        EXPECT_EQ(heard, stop + 1);
        for (const auto& view : opened.views) EXPECT_EQ(view, nullptr) << "stopped at " << stop;
        EXPECT_EQ(opened.curves, nullptr);
        EXPECT_STRNE(GraphOpening::phaseName(stop), "");
        EXPECT_LT(GraphOpening::fractionAt(stop), GraphOpening::fractionAt(stop + 1));

        // Every phase shows progress within it, and a cancel in the middle of a phase stops the
        // opening there, before the next phase starts.
        std::atomic<bool> cancel{false};
        int lastPhase = -1;
        double shown = 0;
        const OpenedGraph inPhase = GraphOpening::open(
            path,
            [&](int phase) {
                lastPhase = phase;
                return true;
            },
            &cancel,
            [&](double fraction) {
                EXPECT_GE(fraction, shown);
                shown = fraction;
                if (lastPhase == stop && fraction > GraphOpening::fractionAt(stop)) cancel = true;
            });
        EXPECT_TRUE(inPhase.cancelled && !inPhase.ok()) << "stopped in " << stop;
        EXPECT_EQ(lastPhase, stop);
        EXPECT_GT(shown, GraphOpening::fractionAt(stop)) << stop;
        EXPECT_LT(shown, GraphOpening::fractionAt(stop + 1)) << stop;
    }
    EXPECT_EQ(GraphOpening::fractionAt(0), 0.0);
    EXPECT_EQ(GraphOpening::fractionAt(GraphOpening::kPhaseCount), 1.0);
    // A failing file fails in its phase with the loader's error, not as a cancel.
    const OpenedGraph missing =
        GraphOpening::open(files.path("missing.rsf"), [](int) { return true; });
    EXPECT_FALSE(missing.cancelled);
    EXPECT_NE(missing.error.find("missing.rsf"), std::string::npos) << missing.error;
    // Anything else thrown in a phase (here, as by a thread that cannot be started) is the
    // file's error too, not an exception that would end the opening's thread and the program.
    const OpenedGraph thrown = GraphOpening::open(path, [](int phase) {
        if (phase == 5) throw std::system_error(std::make_error_code(std::errc::interrupted));
        return true;
    });
    EXPECT_FALSE(thrown.ok() || thrown.cancelled);
    EXPECT_EQ(thrown.error.rfind(path + ": ", 0), 0u) << thrown.error;
}

// A folder is scanned for its sources in the reading phase; stopped as that or a later phase
// starts, or by a cancel while the scan runs, it ends cancelled. A file inside it is no folder.
TEST(GraphOpening, ScansAFolderAndStopsWhereAsked) {
    TempFiles files;
    files.write("a.c", "#include \"b.h\"\n");
    files.write("b.h", "");
    constexpr int kNoStop = -1, kCancelWhileScanning = -2;
    for (int stop : {kNoStop, 0, 3, 9, kCancelWhileScanning}) {
        std::vector<int> heard;
        std::atomic<bool> cancel{false};
        const OpenedGraph opened = GraphOpening::open(
            files.path(""),
            [&](int phase) {
                heard.push_back(phase);
                cancel = stop == kCancelWhileScanning;
                return phase != stop;
            },
            &cancel);
        EXPECT_EQ(opened.cancelled, stop != kNoStop) << stop;
        EXPECT_EQ(opened.error, "");
        if (stop != kNoStop) {
            EXPECT_EQ(heard.back(), std::max(stop, 0));
            continue;
        }
        EXPECT_EQ(heard, std::vector<int>({0, 3, 4, 5, 6, 7, 8, 9}));
        ASSERT_TRUE(opened.ok());
        EXPECT_EQ(opened.graph->vertexCount(), 3u);
        EXPECT_EQ(opened.graph->relationEdgeCount(), 1u);
        EXPECT_NE(opened.views[4], nullptr);
    }
    const OpenedGraph file = GraphOpening::open(files.path("a.c"));
    EXPECT_NE(file.error.find("a.c: "), std::string::npos) << file.error;
}

#if !defined(__SANITIZE_ADDRESS__)
// Memory running out while a file opens ends the opening with a message naming the file; the
// program goes on. Run in a child process whose address space is capped a little above what it
// has already mapped. The XML file is large enough to be parsed in parts on several threads.
TEST(GraphOpening, MemoryRunningOutIsAnErrorNotACrash) {
    TempFiles files;
    GeneratorParams params;
    params.vertices = 200000;
    params.relations = 400000;
    const GraphGenerator generator(params);
    for (const bool xml : {false, true}) {
        std::ostringstream text;
        xml ? generator.writeXml(text) : generator.writeRsf(text);
        const std::string path = files.write(xml ? "large.xml" : "large.rsf", text.str());
        text.str("");
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            long pages = 0;
            std::ifstream("/proc/self/statm") >> pages;
            const rlim_t cap = rlim_t(pages) * sysconf(_SC_PAGESIZE) + (rlim_t(128) << 20);
            const rlimit limit{cap, cap};
            setrlimit(RLIMIT_AS, &limit);
            const OpenedGraph opened = GraphOpening::open(path);
            _exit(opened.error == path + ": there is not enough memory to open it" ? 0 : 1);
        }
        int status = 0;
        waitpid(child, &status, 0);
        ASSERT_TRUE(WIFEXITED(status)) << "the opening of " << path << " crashed";
        EXPECT_EQ(WEXITSTATUS(status), 0) << path;
    }
}
#endif

// Opening with a request for a part: a graph of more than 5,000 relation edges opens as its
// overview, laid out as the part; all of it, or a part that hides nothing, shows the whole graph
// itself; another part is laid out from the opened graph; a pattern matching the root is an error
// naming the file.
TEST(GraphOpening, OpensThePartARequestAsksFor) {
    TempFiles files;
    const std::string path = generatedRsf(files, {2000, 4, 8, 8000, 3, false});

    ShownRequest overview;
    const OpenedGraph opened = GraphOpening::open(path, {}, nullptr, {}, &overview);
    ASSERT_TRUE(opened.ok()) << opened.error;
    ASSERT_TRUE(opened.shown && opened.full && opened.graph);
    EXPECT_GE(opened.request.depth, 1);
    EXPECT_LE(opened.graph->relationEdgeCount(), 5000u);
    EXPECT_EQ(opened.graph->vertexCount(), opened.shown->shownCount());
    for (const auto& view : opened.views)
        EXPECT_EQ(view->records().size(), opened.graph->vertexCount());
    EXPECT_EQ(opened.full->relationEdgeCount(), 8000u);
    // A merged edge's curve is as much more opaque as 1 + log2 of the edges it stands for.
    size_t heavier = 0;
    for (size_t path = 0; path < opened.curves->curveCount(); ++path) {
        const uint32_t weight = opened.shown->weight(opened.curves->paths().edge[path]);
        const float expected =
            std::round((1 + std::log2(float(weight))) * CurveControls::kAlphaScaleSteps) /
            CurveControls::kAlphaScaleSteps;
        ASSERT_FLOAT_EQ(opened.curves->alphaScale(path), expected) << path;
        heavier += weight > 1;
    }
    EXPECT_GT(heavier, 0u);

    ShownRequest all;
    all.depth = ShownRequest::kAll;
    const OpenedGraph whole = GraphOpening::reshow(opened.full, all);
    ASSERT_TRUE(whole.ok());
    EXPECT_EQ(whole.shownStore(), opened.full.get());
    EXPECT_EQ(whole.shown, nullptr);
    EXPECT_EQ(whole.views[4]->records().size(), 2000u);

    ShownRequest one;
    one.useCollapsed = true;
    one.collapsed = {opened.full->getRoot()->getId()};
    const OpenedGraph root = GraphOpening::reshow(opened.full, one);
    ASSERT_TRUE(root.ok());
    EXPECT_EQ(root.shownStore()->vertexCount(), 1u);
    EXPECT_EQ(root.shown->internalEdgeCount(), 8000u);

    ShownRequest refused;
    refused.patterns = {"*"};
    const OpenedGraph error = GraphOpening::open(path, {}, nullptr, {}, &refused);
    EXPECT_FALSE(error.ok());
    EXPECT_EQ(error.error,
              path + ": the pattern \"*\" matches the root \"v0\", which cannot be excluded");
    // Patterns remembered from another file are passed over where they match this root; the
    // others still apply, and the overview's depth is chosen for what they leave.
    const std::vector<std::string> kept = {"v0/*"};
    refused.patterns = {"*", kept[0]};
    refused.passOverRootPatterns = true;
    const OpenedGraph passed = GraphOpening::open(path, {}, nullptr, {}, &refused);
    ASSERT_TRUE(passed.ok()) << passed.error;
    EXPECT_EQ(passed.request.patterns, kept);
    EXPECT_EQ(passed.graph->vertexCount(), 1u);
    const VertexExclusion exclusion(*passed.full, kept);
    std::vector<uint8_t> excluded(passed.full->vertexCount());
    for (uint32_t id = 0; id < excluded.size(); ++id) excluded[id] = exclusion.excluded(id);
    EXPECT_EQ(passed.request.depth, OverviewDepth::choose(*passed.full, excluded));
}
