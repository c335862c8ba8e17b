#include "Trace.h"

#include <gtest/gtest.h>

#include <iostream>
#include <sstream>

TEST(Trace, GoesToTheChosenStreamAndCanBeSilenced) {
    std::ostringstream captured;
    setTraceStream(&captured);
    trace() << "calculate hierarchy\n";
    setTraceStream(nullptr);
    trace() << "lost\n";
    setTraceStream(&std::cout);
    EXPECT_EQ(captured.str(), "calculate hierarchy\n");
}
