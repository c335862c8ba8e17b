#include "DataPath.h"

#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

std::string dataPathFrom(const std::string& executableDir, const std::string& name) {
    const fs::path relative(name);
    if (executableDir.empty() || name.empty() || relative.is_absolute()) return name;
    const fs::path exeDir(executableDir);
    for (const fs::path& base :
         {exeDir / ".." / "share" / "ramiflex", exeDir / ".." / ".." / "share" / "ramiflex"}) {
        const fs::path candidate = (base / relative).lexically_normal();
        std::error_code error;
        if (fs::is_regular_file(candidate, error)) return candidate.string();
    }
    return name;
}

const std::string& executableDir() {
    static const std::string dir = [] {
        std::error_code error;
        const fs::path exe = fs::read_symlink("/proc/self/exe", error);
        return error ? std::string() : exe.parent_path().string();
    }();
    return dir;
}

std::string dataPath(const std::string& name) { return dataPathFrom(executableDir(), name); }
