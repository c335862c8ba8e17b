#include "Trace.h"

#include <iostream>

namespace {

// A stream whose writes go nowhere, for a silenced trace.
class NullBuffer : public std::streambuf {
protected:
    int overflow(int c) override { return traits_type::not_eof(c); }
    std::streamsize xsputn(const char*, std::streamsize n) override { return n; }
};

NullBuffer g_nullBuffer;
std::ostream g_nullStream(&g_nullBuffer);
std::ostream* g_traceStream = &std::cout;

}  // namespace

std::ostream& trace() { return *g_traceStream; }

void setTraceStream(std::ostream* stream) {
    // A failed stream stops every write at its first check instead of formatting text for
    // nothing; loading a large file writes millions of trace lines.
    g_nullStream.setstate(std::ios::badbit);
    g_traceStream = stream ? stream : &g_nullStream;
}
