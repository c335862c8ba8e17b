// The scanner's rules on small trees written here, the writer's text read back by the loader,
// and ramiflex-scan's exit statuses.
#include "GraphLoader.h"
#include "GraphWriter.h"
#include "SourceScanner.h"
#include "SourceTree.h"
#include "TempFiles.h"
#include "ToolRun.h"

#include <gtest/gtest.h>

#include <iterator>

#include <sys/resource.h>

#include <csignal>

#include <sys/stat.h>
#include <unistd.h>
#include <sys/wait.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

namespace fs = std::filesystem;

// A tree entry: a file's text, or "->TARGET" for a symbolic link, or "<folder>".
using Entries = std::vector<std::pair<std::string, std::string>>;

struct ScanCase {
    const char* what;
    const char* emptyFiles;             // paths below the test's folder, apart by spaces
    Entries entries;                    // the other entries; the scanned root is "p"
    std::vector<std::string> includes;  // -I folders below the test's folder
    std::string compileCommands;        // "@" stands for the test's folder
    // The tree as name{children,...} in id order, the edges as paths below the root, or the
    // start of the error.
    const char* tree;
    const char* edges;
    size_t directives;
    const char* skipped;  // the skipped names and counts, most frequent first
    const char* error = "";
};

// clang-format off
const ScanCase kCases[] = {
    {"quoted names look in their own folder first, angle names only in the include folders",
     "p/b.h p/s/b.h", {{"p/s/a.c", "#include \"b.h\"\n#include <b.h>\n"}}, {}, "",
     "p{b.h,s{a.c,b.h}}", "s/a.c>s/b.h s/a.c>b.h", 2, ""},
    {"the parent comes before the root, the root before -I, -I in order",
     "p/x/c.h p/x/e.h p/y/c.h p/y/d.h p/d.h p/p/x/c.h",
     {{"p/m.c", "#include <p/x/c.h>\n#include <d.h>\n#include <c.h>\n#include <e.h>\n"}},
     {"p/y", "p/x"}, "",
     "p{d.h,m.c,p{x{c.h}},x{c.h,e.h},y{c.h,d.h}}", "m.c>x/c.h m.c>d.h m.c>y/c.h m.c>x/e.h", 4, ""},
    {"lines inside block comments do not count, literals do not open one",
     "p/b.h p/c.h p/d.h p/e.h",
     {{"p/a.c",
       "/* #include \"b.h\"\n#include \"b.h\"\n*/ #include \"b.h\"\n"
       "// #include \"b.h\"\nconst char* s = \"/*\"; char c = '\"'; int n = 1'0;\n"
       "#include \"c.h\" /* opens\n#include \"b.h\"\n*/\n"
       "#include \"d/*.h\"\n#include \"e.h\"\n"}},
     {}, "", "p{a.c,b.h,c.h,d.h,e.h}", "a.c>c.h a.c>e.h", 3, "\"d/*.h\" 1"},
    {"include_next and import count, blanks may stand around the #, a byte order mark hides none",
     "p/c.h p/d.h",
     {{"p/b.h", "\xEF\xBB\xBF#include_next <b.h>\n"},
      {"p/a.m", "  #\timport \"c.h\"\n#  include_next<d.h>\n#includes \"b.h\"\n#include b.h\n"}},
     {}, "", "p{a.m,b.h,c.h,d.h}", "a.m>c.h a.m>d.h b.h>b.h", 3, ""},
    {"names reaching no file are skipped and counted; each pair gives one edge",
     "p/b.h",
     {{"p/a.cc", "#include <vector>\n#include \"b.h\"\n#include <vector>\n#include \"./b.h\"\n"
                 "#include \"nope.h\"\n#include <b.h>\n"}},
     {}, "", "p{a.cc,b.h}", "a.cc>b.h", 6, "<vector> 2, \"nope.h\" 1"},
    {"hidden entries, symbolic links and folders without sources are left out",
     "p/.git/x.h p/.y.h p/b.h p/s/c.h p/deep/er/notes.md p/deep2/er/z.hpp",
     {{"p/l.h", "->b.h"}, {"p/ld", "->s"}, {"p/docs/readme.txt", "#include \"b.h\"\n"},
      {"p/empty", "<folder>"},
      {"p/a.c", "#include \".git/x.h\"\n#include \"l.h\"\n#include \"ld/c.h\"\n"}},
     {}, "", "p{a.c,b.h,deep2{er{z.hpp}},s{c.h}}", "", 3,
     "\".git/x.h\" 1, \"l.h\" 1, \"ld/c.h\" 1"},
    {"every source suffix, entries sorted by the bytes of their names",
     "p/\xC3\xA4.h p/a.h++ p/B.hh p/_.hxx p/i.inl p/i.ipp p/t.tpp p/c.cpp p/t.tcc p/c.cxx p/c.c++ "
     "p/o.mm p/x.H p/x.txt p/x.hpp.orig",
     {}, {}, "", "p{B.hh,_.hxx,a.h++,c.c++,c.cpp,c.cxx,i.inl,i.ipp,o.mm,t.tcc,t.tpp,\xC3\xA4.h}",
     "", 0, ""},
    {"a compilation database adds its folders after -I, relative ones against its directory",
     "p/i/q.h p/j/r.h p/k/s.h p/l/u.h",
     {{"p/a.c", "#include \"q.h\"\n#include <r.h>\n#include <s.h>\n#include <u.h>\n"}}, {},
     "[{\"directory\": \"@/build\", \"file\": \"a.c\", \"arguments\": [\"cc\", \"-I../p/i\","
     " \"-isystem\", \"../p/j\", \"-c\", \"a.c\"]},"
     " {\"directory\": \"@/build\", \"command\": \"cc -iquote '../p/k' -I @/p/l -c a.c\"}]",
     "p{a.c,i{q.h},j{r.h},k{s.h},l{u.h}}", "a.c>i/q.h a.c>j/r.h a.c>k/s.h a.c>l/u.h", 4, ""},
    {"a file too large to read is skipped and named",
     "", {{"p/b.h", std::string(1001, 'x')}, {"p/a.c", "#include \"b.h\"\n"}}, {}, "",
     "p{a.c,b.h}", "a.c>b.h", 1, ""},
    {"a file for a folder", "", {{"p", "x"}}, {}, "", "", "", 0, "", "p: not a folder"},
    {"a missing -I folder", "p/a.c", {}, {"p/no"}, "", "", "", 0, "", "p/no: no such folder"},
    {"a compilation database nested too deeply to parse", "p/a.c", {}, {},
     "[\n" + std::string(300, '['), "", "", 0, "",
     "cc.json: line 2: not a compilation database: lists and objects nested deeper than 200"},
    {"a compilation database that is not a list", "p/a.c", {}, {}, "{\"a\": 1}", "", "", 0, "",
     "cc.json: not a compilation database"},
};
// clang-format on

void makeTree(const TempFiles& files, const Entries& entries) {
    for (const auto& [path, content] : entries) {
        fs::create_directories(fs::path(files.path(path)).parent_path());
        if (content == "<folder>") {
            fs::create_directories(files.path(path));
        } else if (content.rfind("->", 0) == 0) {
            fs::create_symlink(content.substr(2), files.path(path));
        } else {
            files.write(path, content);
        }
    }
}

std::string replaceAll(std::string text, const std::string& from, const std::string& to) {
    for (size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size())
        text.replace(at, from.size(), to);
    return text;
}

// The tree as name{child,...}, written from the parents, which checks the pre-order too.
std::string treeText(const ScanResult& result, uint32_t id = 0) {
    std::string text = result.names[id];
    std::string children;
    for (uint32_t child = id + 1; child < result.names.size(); ++child) {
        if (result.parents[child] == id)
            children += (children.empty() ? "" : ",") + treeText(result, child);
    }
    return children.empty() ? text : text + "{" + children + "}";
}

std::string pathBelowRoot(const ScanResult& result, uint32_t id) {
    std::string path = result.names[id];
    for (uint32_t up = result.parents[id]; up != 0; up = result.parents[up])
        path = result.names[up] + "/" + path;
    return path;
}

std::string edgesText(const ScanResult& result) {
    std::string text;
    for (const auto& [from, to] : result.relations) {
        text += (text.empty() ? "" : " ") + pathBelowRoot(result, from) + ">" +
                pathBelowRoot(result, to);
    }
    return text;
}

std::string skippedText(const ScanResult& result) {
    std::string text;
    for (const auto& [name, count] : result.topSkipped)
        text += (text.empty() ? "" : ", ") + name + " " + std::to_string(count);
    return text;
}

ScanResult scanCase(const TempFiles& files, const ScanCase& test) {
    Entries entries = test.entries;
    std::istringstream emptyFiles(test.emptyFiles);
    for (std::string path; emptyFiles >> path;) entries.emplace_back(path, "");
    makeTree(files, entries);
    ScanOptions options;
    options.root = files.path("p");
    for (const std::string& folder : test.includes)
        options.includeFolders.push_back(files.path(folder));
    if (!test.compileCommands.empty()) {
        options.compileCommands =
            files.write("cc.json", replaceAll(test.compileCommands, "@", files.path("")));
    }
    options.maxFileBytes = 1000;
    // One reading thread and several give the same result.
    options.threads = 1 + entries.size() % 3;
    return SourceScanner::scan(options);
}

struct NameCase {
    const char* name;        // of a file in the scanned tree
    const char* rsfProblem;  // what keeps RSF from holding it, or ""
    const char* xmlProblem;
};

const NameCase kNames[] = {
    {"\xC3\xA4 \xE2\x82\xAC\xF0\x9F\x98\x80.h", "", ""},
    {"a&b<c>'d';.h", "", ""},
    {"t\tab\r.h", "", ""},
    {"l\nine.h", "holds a line break, which RSF cannot hold", ""},
    {"q\".h", "holds a double quote, which RSF cannot hold", ""},
    {"\xFF\xC3.h", "", "is not valid UTF-8, which XML cannot hold"},
    {"\x01.h", "", "holds a control character, which XML cannot hold"},
};

}  // namespace

TEST(SourceScanner, FollowsTheRulesOnSmallTrees) {
    for (const ScanCase& test : kCases) {
        SCOPED_TRACE(test.what);
        TempFiles files;
        const ScanResult result = scanCase(files, test);
        if (*test.error) {
            EXPECT_EQ(result.error.rfind(files.path(""), 0), 0u) << result.error;
            EXPECT_NE(result.error.find(test.error, files.path("").size()), std::string::npos)
                << result.error;
            continue;
        }
        ASSERT_TRUE(result.ok()) << result.error;
        EXPECT_EQ(treeText(result), test.tree);
        EXPECT_EQ(edgesText(result), test.edges);
        EXPECT_EQ(result.directives, test.directives);
        EXPECT_EQ(skippedText(result), test.skipped);
        size_t sources = 0;
        for (const std::string& name : result.names) sources += SourceTree::isSourceName(name);
        EXPECT_EQ(result.files + result.unreadable.size(), sources);
        // Every file over the limit of 1000 bytes is skipped and named.
        size_t large = 0;
        for (const auto& entry : test.entries) large += entry.second.size() > 1000;
        ASSERT_EQ(result.unreadable.size(), large);
        for (const std::string& unreadable : result.unreadable) {
            EXPECT_EQ(unreadable, files.path("p/b.h") +
                                      ": skipped, the file is 1001 bytes, more "
                                      "than the limit of 1000");
            EXPECT_NE(result.report().find(unreadable), std::string::npos);
        }
    }
}

// Asked before the first entry is walked and before the first file is read: stopped at either,
// the scan ends cancelled with nothing found.
TEST(SourceScanner, StopsWhenAskedTo) {
    TempFiles files;
    makeTree(files, {{"p/a.h", ""}, {"p/s/b.h", ""}});
    ScanOptions options;
    options.root = files.path("p");
    for (int answers : {0, 1, 2}) {
        int asked = 0;
        const ScanResult result = SourceScanner::scan(options, [&] { return asked++ < answers; });
        EXPECT_EQ(result.cancelled, answers < 2) << answers;
        EXPECT_EQ(result.names.size(), answers < 2 ? 0u : 4u) << answers;
    }
}

#if !defined(__SANITIZE_ADDRESS__)
// A reading thread that runs out of memory (a file of 4 TiB, holes only, read whole) ends the
// scan with an error naming the folder; the process goes on. The sanitizer's allocator aborts
// on such a size instead of failing it.
TEST(SourceScanner, AThreadOutOfMemoryIsAnErrorNotACrash) {
    TempFiles files;
    fs::create_directories(files.path("p"));
    for (int i = 0; i < 8; ++i) files.write("p/f" + std::to_string(i) + ".h", "#include <f0.h>\n");
    if (truncate(files.write("p/huge.h", "").c_str(), off_t(1) << 42) != 0) {
        GTEST_SKIP() << "no sparse file of 4 TiB here";
    }
    ScanOptions options;
    options.root = files.path("p");
    options.threads = 2;
    options.maxFileBytes = SIZE_MAX;
    const ScanResult result = SourceScanner::scan(options);
    EXPECT_EQ(result.error, options.root + ": there is not enough memory to scan it");
    EXPECT_TRUE(result.relations.empty());
}
#endif

TEST(SourceScanner, WritesWhatTheLoaderReadsBack) {
    for (const NameCase& test : kNames) {
        SCOPED_TRACE(test.name);
        TempFiles files;
        makeTree(files, {{std::string("p/s/") + test.name, "#include \"../b.h\"\n"},
                         {"p/b.h", ""},
                         {"p/a.c", "#include \"b.h\"\n"}});
        ScanOptions options;
        options.root = files.path("p");
        const ScanResult result = SourceScanner::scan(options);
        ASSERT_TRUE(result.ok()) << result.error;
        ASSERT_EQ(result.relations.size(), 2u);
        const std::unique_ptr<GraphStore> graph = result.toGraph();
        for (const char* suffix : {".rsf", ".xml"}) {
            const std::string out = files.path(std::string("out") + suffix);
            const std::string problem = GraphWriter::writeFile(*graph, out);
            const char* expected = suffix[1] == 'r' ? test.rsfProblem : test.xmlProblem;
            if (*expected) {
                EXPECT_EQ(problem.rfind(out + ": the name of vertex 4 ", 0), 0u) << problem;
                EXPECT_NE(problem.find(expected), std::string::npos) << problem;
                EXPECT_FALSE(fs::exists(out));
                continue;
            }
            ASSERT_EQ(problem, "");
            // Written again, the graph read back gives the text of the scanned one: ids, names,
            // parents, the root and the edges in order.
            const LoadResult loaded = GraphLoader::load(out);
            ASSERT_TRUE(loaded.ok()) << loaded.error;
            std::ostringstream again, scanned;
            GraphWriter::write(*loaded.graph, GraphWriter::formatFor(out), again);
            GraphWriter::write(*graph, GraphWriter::formatFor(out), scanned);
            EXPECT_EQ(again.str(), scanned.str());
        }
    }
}

TEST(SourceScanner, ToolExitsByTheOutcome) {
    TempFiles files;
    makeTree(files, {{"p/a.c", "#include \"b.h\"\n#include <missing.h>\n"}, {"p/b.h", ""}});
    files.write("bad.json", "[");
    ASSERT_EQ(mkfifo(files.path("pipe.json").c_str(), 0600), 0);  // opened, it would wait for ever
    const std::string p = files.path("p");
    const struct {
        std::string arguments;
        int status;
        std::string output;  // the start of the output
    } runs[] = {
        {p, 0, "2 files scanned, 2 directives found, 1 edges, 1 names skipped (1 distinct)"},
        {p + " -o " + files.path("g.xml"), 0, "2 files scanned"},
        {p + "/no", 1, "ramiflex-scan: " + p + "/no: no such folder\n"},
        {p + " --compile-commands " + files.path("bad.json"), 1,
         "ramiflex-scan: " + files.path("bad.json") + ": line 1: not valid JSON"},
        {p + " --compile-commands " + files.path("pipe.json"), 1,
         "ramiflex-scan: " + files.path("pipe.json") + ": cannot be opened as a file\n"},
        {p + " -o " + files.path("g.txt"), 2,
         "ramiflex-scan: " + files.path("g.txt") + ": the output must end in .rsf or .xml\n"},
        {"", 2, "usage: ramiflex-scan DIR"},
    };
    for (const auto& run : runs) {
        SCOPED_TRACE(run.arguments);
        const ToolRun result = runTool("ramiflex-scan", run.arguments, "2>&1");
        EXPECT_EQ(result.status, run.status);
        EXPECT_EQ(result.out.rfind(run.output, 0), 0u) << result.out;
    }
    const LoadResult loaded = GraphLoader::load(files.path("g.xml"));
    ASSERT_TRUE(loaded.ok()) << loaded.error;
    EXPECT_EQ(loaded.graph->vertexCount(), 3u);
    EXPECT_EQ(loaded.graph->relationEdgeCount(), 1u);

    // A save that cannot be finished (here the disk allows 64 bytes) leaves the file that was
    // there as it was, and says so.
    const std::string kept = files.write("kept.xml", "the old graph");
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{64, 64};
        setrlimit(RLIMIT_FSIZE, &limit);
        const std::string problem = GraphWriter::writeFile(*loaded.graph, kept);
        _exit(problem.rfind(kept + ": cannot be written: ", 0) == 0 ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    std::ifstream in(kept);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "the old graph");
    EXPECT_FALSE(fs::exists(kept + ".part"));
}
