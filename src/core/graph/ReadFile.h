#pragma once

#include "DataRecord.h"

#include <vector>

// A data file reader: turns a file into its statements in file order.
class ReadFile {
public:
    virtual ~ReadFile() = default;
    virtual std::vector<DataRecord> read(const char* fileName) = 0;
};
