#include "DataPath.h"

#include "TempFiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::string contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

}  // namespace

// Folder layouts around an executable: which file a data name opens. Paths are relative to a
// scratch folder; an empty expectation means the name comes back as it is (read relative to the
// working directory).
TEST(DataPath, LooksBesideTheExecutableThenLeavesTheNameToTheWorkingDirectory) {
    struct Case {
        const char* label;
        std::vector<const char*> files;
        const char* executableDir;
        const char* name;
        const char* expected;
    };
    const Case cases[] = {
        {"installed",
         {"usr/share/ramiflex/shader/a.glsl"},
         "usr/bin",
         "shader/a.glsl",
         "usr/share/ramiflex/shader/a.glsl"},
        {"build tree, one level deeper",
         {"build/share/ramiflex/imgs/Font.png"},
         "build/src/app",
         "imgs/Font.png",
         "build/share/ramiflex/imgs/Font.png"},
        {"the nearer folder wins",
         {"p/share/ramiflex/shader/a.glsl", "share/ramiflex/shader/a.glsl"},
         "p/bin",
         "shader/a.glsl",
         "p/share/ramiflex/shader/a.glsl"},
        {"the farther folder when only it holds the file",
         {"p/share/ramiflex/shader/b.glsl", "share/ramiflex/shader/a.glsl"},
         "p/bin",
         "shader/a.glsl",
         "share/ramiflex/shader/a.glsl"},
        {"data folder without the file",
         {"usr/share/ramiflex/shader/b.glsl"},
         "usr/bin",
         "shader/a.glsl",
         ""},
        {"a folder of that name is no file",
         {"usr/share/ramiflex/shader/a.glsl/inside"},
         "usr/bin",
         "shader/a.glsl",
         ""},
        {"only beside the executable, not in it",
         {"usr/bin/shader/a.glsl"},
         "usr/bin",
         "shader/a.glsl",
         ""},
        {"no data folder at all", {}, "usr/bin", "shader/a.glsl", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        TempFiles temp;
        const fs::path root = fs::path(temp.path("x")).parent_path();
        for (const char* file : c.files) {
            fs::create_directories((root / file).parent_path());
            temp.write(file, file);
        }
        const std::string found = dataPathFrom((root / c.executableDir).string(), c.name);
        if (*c.expected == '\0') {
            EXPECT_EQ(found, c.name);
        } else {
            EXPECT_EQ(found, (root / c.expected).string());
            EXPECT_EQ(contents(found), c.expected);
        }
    }
}

TEST(DataPath, AbsoluteAndEmptyNamesAndAnUnknownExecutableAreLeftAlone) {
    TempFiles temp;
    const fs::path root = fs::path(temp.path("x")).parent_path();
    fs::create_directories(root / "share/ramiflex/tmp");
    temp.write("share/ramiflex/tmp/a.glsl", "data");
    // An absolute name is taken as it is, even where the data folder holds its relative twin.
    EXPECT_EQ(dataPathFrom((root / "bin").string(), "/tmp/a.glsl"), "/tmp/a.glsl");
    EXPECT_EQ(dataPathFrom((root / "bin").string(), ""), "");
    EXPECT_EQ(dataPathFrom("", "tmp/a.glsl"), "tmp/a.glsl");
}

// This test program lives in the build tree (build/tests/), whose data folder links to the
// sources' shader/ and imgs/: they are found from any working directory.
TEST(DataPath, TheBuildTreeFindsTheSourcesDataFromAnyWorkingDirectory) {
    EXPECT_EQ(fs::path(executableDir()), fs::canonical("/proc/self/exe").parent_path());
    TempFiles temp;
    const fs::path previous = fs::current_path();
    fs::current_path(temp.path(""));
    for (const char* name : {"shader/shadow_vert.glsl", "imgs/Font.png"}) {
        SCOPED_TRACE(name);
        const std::string found = dataPath(name);
        EXPECT_TRUE(fs::path(found).is_absolute()) << found;
        EXPECT_EQ(contents(found), contents(std::string(RAMIFLEX_SOURCE_DIR "/") + name));
    }
    EXPECT_EQ(dataPath("shader/no_such_vert.glsl"), "shader/no_such_vert.glsl");
    fs::current_path(previous);
}
