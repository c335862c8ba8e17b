#pragma once

#include <GL/glew.h>

#include <gtest/gtest.h>

#include <string>

// Base of every test that calls OpenGL: makes the shared context current and loads the entry
// points through GLEW before each test; a test fails when there is no context.
class GlTest : public ::testing::Test {
protected:
    void SetUp() override;
};

// Starts DevIL and ILU once; the image tests need no GL context.
void ensureImageLibrary();

// Runs body with standard output captured and returns what it printed.
template <typename Body>
std::string captureStdout(Body body) {
    ::testing::internal::CaptureStdout();
    body();
    fflush(stdout);
    return ::testing::internal::GetCapturedStdout();
}
