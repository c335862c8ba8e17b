#pragma once

#include <ostream>

// Stream for the diagnostic trace lines of reading, hierarchy and layout. Standard output by
// default; tools that own standard output send it elsewhere or silence it.
std::ostream& trace();
// nullptr silences the trace.
void setTraceStream(std::ostream* stream);
