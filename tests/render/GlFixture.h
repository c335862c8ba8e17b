#pragma once

#include <GL/glew.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

// Base of every test that calls OpenGL: makes the shared context current and loads the entry
// points through GLEW before each test; a test fails when there is no context.
class GlTest : public ::testing::Test {
protected:
    void SetUp() override;
};

// Starts DevIL and ILU once; the image tests need no GL context.
void ensureImageLibrary();

// While it lives, the working directory is an empty folder of its own, so that run-time data
// (shader/, imgs/) is found beside the executable or not at all.
class EmptyWorkingDirectory {
public:
    EmptyWorkingDirectory();
    ~EmptyWorkingDirectory();
    EmptyWorkingDirectory(const EmptyWorkingDirectory&) = delete;
    EmptyWorkingDirectory& operator=(const EmptyWorkingDirectory&) = delete;

private:
    std::filesystem::path m_previous;
    std::filesystem::path m_empty;
};

// Runs body with standard output captured and returns what it printed.
template <typename Body>
std::string captureStdout(Body body) {
    ::testing::internal::CaptureStdout();
    body();
    fflush(stdout);
    return ::testing::internal::GetCapturedStdout();
}
