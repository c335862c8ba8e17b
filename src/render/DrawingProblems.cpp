#include "DrawingProblems.h"

#include <cstdio>
#include <mutex>

namespace {

std::mutex g_lock;
std::vector<std::string> g_lines;

}  // namespace

namespace DrawingProblems {

void report(const std::string& line) {
    std::printf("%s\n", line.c_str());
    const std::lock_guard<std::mutex> lock(g_lock);
    g_lines.push_back(line);
}

std::vector<std::string> take() {
    const std::lock_guard<std::mutex> lock(g_lock);
    std::vector<std::string> lines;
    lines.swap(g_lines);
    return lines;
}

}  // namespace DrawingProblems
