#pragma once

#include <sys/wait.h>

#include <cstdio>
#include <string>

// What one of the command-line tools printed and its exit status (-1 when it did not exit).
struct ToolRun {
    std::string out;
    int status = -1;
};

// Runs the built tool with arguments; redirect says where its error output goes ("2>&1" to read
// it with the rest).
inline ToolRun runTool(const std::string& tool, const std::string& arguments,
                       const std::string& redirect) {
    const std::string command =
        std::string(RAMIFLEX_TOOLS_DIR) + "/" + tool + " " + arguments + " " + redirect;
    ToolRun run;
    std::FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return run;
    char buffer[65536];
    for (size_t read; (read = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        run.out.append(buffer, read);
    const int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}
