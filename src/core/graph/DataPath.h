#pragma once

#include <string>

// The viewer's run-time data (shader/, imgs/) is named by paths relative to its data folder, such
// as "shader/shadow_vert.glsl"; code and trace lines keep those names and resolve them only when
// a file is opened, so that the program finds its data wherever it is started.
//
// The data folder is looked for beside the executable: <exe dir>/../share/ramiflex, where an
// installation puts it (<prefix>/bin and <prefix>/share/ramiflex), then
// <exe dir>/../../share/ramiflex, where the build tree keeps it (build/src/app/ramiflex and
// build/share/ramiflex). The first folder that holds the file wins; when none does, the name is
// returned as it is and so read relative to the working directory. An absolute name is never
// looked up.
std::string dataPath(const std::string& name);

// The same lookup beside the executable folder executableDir (empty: the working directory only).
std::string dataPathFrom(const std::string& executableDir, const std::string& name);

// The folder of the running executable, read once from /proc/self/exe (links resolved); empty
// when it cannot be read.
const std::string& executableDir();
