#include "DataPath.h"
#include "TempFiles.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;

// Folder layouts around an executable: which file a data name opens. An empty expectation means
// the name comes back as it is, to be read relative to the working directory.
TEST(DataPath, LooksBesideTheExecutableThenLeavesTheNameToTheWorkingDirectory) {
    struct Case {
        std::vector<const char*> files;
        const char *executableDir, *name, *expected;
    };
    const char* const a = "shader/a.glsl";
    const Case cases[] = {
        {{"usr/share/ramiflex/shader/a.glsl"}, "usr/bin", a, "usr/share/ramiflex/shader/a.glsl"},
        // The build tree, one level deeper.
        {{"b/share/ramiflex/imgs/F.png"}, "b/src/app", "imgs/F.png", "b/share/ramiflex/imgs/F.png"},
        // The nearer folder wins; the farther one when only it holds the file.
        // clang-format off
        {{"p/share/ramiflex/shader/a.glsl", "share/ramiflex/shader/a.glsl"}, "p/bin", a,
         "p/share/ramiflex/shader/a.glsl"},
        {{"p/share/ramiflex/shader/b.glsl", "share/ramiflex/shader/a.glsl"}, "p/bin", a,
         "share/ramiflex/shader/a.glsl"},
        // clang-format on
        {{"usr/share/ramiflex/shader/b.glsl"}, "usr/bin", a, ""},
        {{"usr/share/ramiflex/shader/a.glsl/inside"}, "usr/bin", a, ""},  // a folder is no file
        {{"usr/bin/shader/a.glsl"}, "usr/bin", a, ""},  // beside the executable, not in it
        {{}, "usr/bin", a, ""},
        {{"share/ramiflex/tmp/a.glsl"}, "bin", "/tmp/a.glsl", ""},  // absolute names stay
        {{}, "bin", "", ""},
    };
    for (const Case& c : cases) {
        TempFiles temp;
        const fs::path root = fs::path(temp.path("x")).parent_path();
        for (const char* file : c.files) {
            fs::create_directories((root / file).parent_path());
            temp.write(file, file);
        }
        const std::string found = dataPathFrom((root / c.executableDir).string(), c.name);
        EXPECT_EQ(found, *c.expected ? (root / c.expected).string() : std::string(c.name));
    }
    EXPECT_EQ(dataPathFrom("", "tmp/a.glsl"), "tmp/a.glsl");
}
