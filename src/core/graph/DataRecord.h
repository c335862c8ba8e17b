#pragma once

#include <string>
#include <vector>

// One statement of a data file, as both readers produce it. line and column locate the statement
// in its file (1-based; 0 when unknown) so that a rejected file can name the place.
struct DataRecord {
    std::string key;
    std::vector<std::string> values;
    int line = 0;
    int column = 0;
};
