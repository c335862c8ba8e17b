#pragma once

#include <string>
#include <vector>

// Problems that keep the picture from being drawn as it should: a shader that cannot be read,
// compiled or linked, a framebuffer that is incomplete. Each is printed on standard output where
// it is found, as always, and collected here so that the drawing surface can tell the user (and a
// screenshot taken from the command line can fail) instead of showing a broken picture.
namespace DrawingProblems {

// Prints the line on standard output (with a line break) and keeps it.
void report(const std::string& line);
// The lines reported since the last call, emptied.
std::vector<std::string> take();

}  // namespace DrawingProblems
