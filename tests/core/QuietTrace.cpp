// The core's trace tells a user what a load or a layout did; the tests read the results, not the
// trace, so it is silenced for all of them. A test that reads the trace sets its own stream and
// silences it again.
#include "Trace.h"

#include <gtest/gtest.h>

namespace {

class QuietTrace : public ::testing::Environment {
public:
    void SetUp() override { setTraceStream(nullptr); }
};

::testing::Environment* const kQuietTrace = ::testing::AddGlobalTestEnvironment(new QuietTrace);

}  // namespace
