#pragma once

#include "GraphStore.h"

#include <ostream>
#include <string>

// Writes a graph as the text of a data file that the readers read back to the same graph: RSF
// statements or an XML document. Vertices in id order, then hierarchy and relation edges in
// their id orders.
class GraphWriter {
public:
    enum class Format { Rsf, Xml };

    // XML for a name ending in ".xml" (any case), RSF otherwise.
    static Format formatFor(const std::string& fileName);

    // The problem that keeps graph from being written in format, or nothing: RSF has no way to
    // quote a double quote or a line break, XML none to hold bytes that are not UTF-8 or the
    // control characters it forbids.
    static std::string problem(const GraphStore& graph, Format format);

    // Writes graph to out; returns problem() without writing anything when there is one.
    static std::string write(const GraphStore& graph, Format format, std::ostream& out);

    // Writes graph to fileName in the format its name asks for; the problem, naming the file,
    // or nothing. A file that cannot be completed is removed.
    static std::string writeFile(const GraphStore& graph, const std::string& fileName);

private:
    static void writeRsf(const GraphStore& graph, std::ostream& out);
    static void writeXml(const GraphStore& graph, std::ostream& out);
};
