#pragma once
// A property that must hold for every input; a violation is reported like a crash, with the
// condition and its place, so that libFuzzer keeps the input. Included once by each target.

#include "Trace.h"

#include <cstdio>
#include <cstdlib>

#define FUZZ_CHECK(condition)                                                                  \
    do {                                                                                       \
        if (!(condition)) {                                                                    \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                      \
        }                                                                                      \
    } while (false)

// The trace tells a user what a load or a layout did; under fuzzing it would bury the findings.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
    setTraceStream(nullptr);
    return 0;
}
