#pragma once

#include "ReadFile.h"

#include <string_view>

// Reads an RSF file: one statement per line, made of double-quoted tokens, the first being the
// key. Only cuts lines into tokens; what the keys mean is up to buildGraph.
class ReadRTFFile : public ReadFile {
public:
    // One record per line, in file order, each with its 1-based line number. A file ending with
    // a line break gives one more, empty, record (the read that meets the end still makes one).
    // A file that cannot be opened gives "Unable to open file" on the trace and no records.
    std::vector<DataRecord> read(const char* fileName) override;

    // Cuts one line (without its line break) into a record.
    static DataRecord parseLine(std::string_view line, int lineNumber);

private:
    static void cutLine(std::string_view line, DataRecord& record);
};
