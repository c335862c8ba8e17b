#include "Trace.h"

#include <iostream>

namespace {

// A stream without a buffer is permanently bad, so every write to it returns at once without
// formatting anything: the layouts trace a line per vertex, and formatting a million numbers
// only to drop them would cost more than the layout itself.
std::ostream g_nullStream(nullptr);
std::ostream* g_traceStream = &std::cout;

}  // namespace

std::ostream& trace() { return *g_traceStream; }

void setTraceStream(std::ostream* stream) {
    // A failed stream stops every write at its first check instead of formatting text for
    // nothing; loading a large file writes millions of trace lines.
    g_nullStream.setstate(std::ios::badbit);
    g_traceStream = stream ? stream : &g_nullStream;
}
