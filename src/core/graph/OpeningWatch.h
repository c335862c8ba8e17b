#pragma once

#include <atomic>
#include <cstddef>
#include <functional>

// What the long loops of an opening check as they go: whether the user asked it to stop, and how
// far the phase has come. An opening installs its watch on its thread for its duration (and
// runIndexed hands it to the threads it starts), so the readers, layouts and curves need no
// handle passed through every call; without a watch the checks cost a thread-local read.
class OpeningWatch {
public:
    // Thrown by step() once the opening is to stop; the opening catches it and ends cancelled.
    struct Cancelled {};
    // Hears the share of the current phase done, 0 .. 1, rising, on any thread.
    using Progress = std::function<void(double)>;

    OpeningWatch(const std::atomic<bool>* cancel, Progress progress);
    OpeningWatch(const OpeningWatch&) = delete;
    OpeningWatch& operator=(const OpeningWatch&) = delete;

    // Makes watch the current thread's for the scope (null: none).
    class Scope {
    public:
        explicit Scope(OpeningWatch* watch);
        ~Scope();
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;

    private:
        OpeningWatch* m_previous;
    };
    static OpeningWatch* current();

    // Item done of total in a loop of the current phase: throws Cancelled when the opening is to
    // stop, and now and then reports the share done.
    static void step(size_t done, size_t total);
    // A new phase starts: its share done begins at 0.
    void startPhase();

private:
    void report(double share);

    const std::atomic<bool>* m_cancel;
    Progress m_progress;
    // The last share reported, in thousandths, so that a report goes out only when it grows.
    std::atomic<int> m_reported{0};
};
