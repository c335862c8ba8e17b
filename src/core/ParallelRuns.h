#pragma once

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <thread>
#include <vector>

// Threads worth starting for work that keeps every core busy.
inline size_t threadCount() {
    return std::clamp<size_t>(std::thread::hardware_concurrency(), 1, 16);
}

// Runs task(0 .. count-1) on up to `threads` threads, each taking the next index.
template <class Task>
void runIndexed(int count, size_t threads, const Task& task) {
    std::atomic<int> next{0};
    auto worker = [&] {
        for (int i = next++; i < count; i = next++) task(i);
    };
    std::vector<std::thread> helpers;
    for (size_t t = 1; t < threads; ++t) helpers.emplace_back(worker);
    worker();
    for (std::thread& helper : helpers) helper.join();
}
