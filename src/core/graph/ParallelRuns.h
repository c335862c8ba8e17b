#pragma once

#include "OpeningWatch.h"

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

// Threads worth starting for work that keeps every core busy.
inline size_t threadCount() {
    return std::clamp<size_t>(std::thread::hardware_concurrency(), 1, 16);
}

// Runs task(0 .. count-1) on up to `threads` threads, each taking the next index. An exception
// of a task (memory running out) stops the run and is thrown again on the calling thread, once
// every thread has ended.
template <class Task>
void runIndexed(int count, size_t threads, const Task& task) {
    std::atomic<int> next{0};
    std::exception_ptr failure;
    std::mutex failureLock;
    OpeningWatch* const watch = OpeningWatch::current();
    auto worker = [&] {
        // The helpers check the caller's opening as the caller does.
        const OpeningWatch::Scope scope(watch);
        try {
            for (int i = next++; i < count; i = next++) task(i);
        } catch (...) {
            next = count;
            const std::lock_guard<std::mutex> lock(failureLock);
            if (!failure) failure = std::current_exception();
        }
    };
    std::vector<std::thread> helpers;
    // Reserved before any thread starts: a vector growing past its memory with threads running
    // would end the process on unwinding.
    helpers.reserve(threads);
    try {
        for (size_t t = 1; t < threads; ++t) helpers.emplace_back(worker);
    } catch (...) {
        // No thread, or no memory for one: fewer threads still do all the work.
    }
    worker();
    for (std::thread& helper : helpers) helper.join();
    if (failure) std::rethrow_exception(failure);
}
