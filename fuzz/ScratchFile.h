#pragma once
// The readers take file names, so each fuzz input is written to a file first: one directory per
// process (parallel fuzzing jobs each have their own), removed at exit.

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

class ScratchFile {
public:
    // Writes data to <directory>/input<suffix> and returns that path. The suffix picks the
    // reader: the loader reads a name containing ".rsf" as RSF, any other as XML.
    static std::string write(const uint8_t* data, size_t size, const std::string& suffix) {
        const std::string path = directory() + "/input" + suffix;
        std::FILE* file = std::fopen(path.c_str(), "wb");
        if (!file) std::abort();
        if (size > 0 && std::fwrite(data, 1, size, file) != size) std::abort();
        if (std::fclose(file) != 0) std::abort();
        return path;
    }

private:
    static const std::string& directory() {
        // Never destroyed: the exit handler that removes the directory needs the name, and it
        // runs after the destructors of statics constructed later than it was registered.
        static const std::string* const path = [] {
            const std::filesystem::path dir = std::filesystem::temp_directory_path() /
                                              ("ramiflex-fuzz-" + std::to_string(getpid()));
            std::filesystem::create_directories(dir);
            auto* name = new std::string(dir.string());
            std::atexit([] {
                std::error_code ignored;
                std::filesystem::remove_all(directory(), ignored);
            });
            return name;
        }();
        return *path;
    }
};
