#include "OpeningWatch.h"

#include <algorithm>
#include <utility>

namespace {

thread_local OpeningWatch* t_watch = nullptr;

// Loops check every this many items: often enough to stop within milliseconds, rarely enough to
// cost nothing.
constexpr size_t kCheckEvery = 1024;

}  // namespace

OpeningWatch::OpeningWatch(const std::atomic<bool>* cancel, Progress progress)
    : m_cancel(cancel), m_progress(std::move(progress)) {}

OpeningWatch::Scope::Scope(OpeningWatch* watch) : m_previous(t_watch) { t_watch = watch; }

OpeningWatch::Scope::~Scope() { t_watch = m_previous; }

OpeningWatch* OpeningWatch::current() { return t_watch; }

void OpeningWatch::step(size_t done, size_t total) {
    OpeningWatch* watch = t_watch;
    if (!watch || done % kCheckEvery != 0) return;
    if (watch->m_cancel && watch->m_cancel->load(std::memory_order_relaxed)) throw Cancelled{};
    if (total > 0) watch->report(double(done) / double(total));
}

void OpeningWatch::startPhase() { m_reported = 0; }

void OpeningWatch::report(double share) {
    // Some totals are estimates (lines from the file's size).
    const int thousandths = int(std::min(share, 1.0) * 1000);
    int before = m_reported.load(std::memory_order_relaxed);
    // Several loops of a phase, and several threads, report: only a share above every earlier
    // one goes out, so the bar never runs back.
    while (thousandths > before) {
        if (m_reported.compare_exchange_weak(before, thousandths)) {
            if (m_progress) m_progress(thousandths / 1000.0);
            return;
        }
    }
}
