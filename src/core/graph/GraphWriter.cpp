#include "GraphWriter.h"

#include "IntegerText.h"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string_view>

namespace {

// The length of the UTF-8 sequence at text[at], or 0 when none starts there.
size_t utf8Length(std::string_view text, size_t at) {
    const unsigned char lead = static_cast<unsigned char>(text[at]);
    if (lead < 0x80) return 1;
    const size_t length = lead < 0xC2 ? 0 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : lead < 0xF5 ? 4 : 0;
    if (length == 0 || at + length > text.size()) return 0;
    for (size_t i = 1; i < length; ++i) {
        if ((static_cast<unsigned char>(text[at + i]) & 0xC0) != 0x80) return 0;
    }
    // Overlong forms, surrogates and code points beyond U+10FFFF.
    const unsigned char second = static_cast<unsigned char>(text[at + 1]);
    if ((lead == 0xE0 && second < 0xA0) || (lead == 0xED && second > 0x9F) ||
        (lead == 0xF0 && second < 0x90) || (lead == 0xF4 && second > 0x8F)) {
        return 0;
    }
    return length;
}

// Why name cannot stand in format, or nothing.
const char* nameProblem(std::string_view name, GraphWriter::Format format) {
    if (format == GraphWriter::Format::Rsf) {
        if (name.find('"') != std::string_view::npos) return "holds a double quote";
        if (name.find('\n') != std::string_view::npos) return "holds a line break";
        return nullptr;
    }
    for (size_t at = 0; at < name.size();) {
        const unsigned char c = static_cast<unsigned char>(name[at]);
        if (c < 0x20 && c != '\t' && c != '\n' && c != '\r') return "holds a control character";
        const size_t length = utf8Length(name, at);
        if (length == 0) return "is not valid UTF-8";
        at += length;
    }
    return nullptr;
}

// name as an attribute value between double quotes. Blanks other than the space are written as
// references, which attribute value normalisation leaves as they are.
void writeAttribute(std::ostream& out, std::string_view name) {
    for (char c : name) {
        switch (c) {
            case '&':
                out << "&amp;";
                break;
            case '<':
                out << "&lt;";
                break;
            case '>':
                out << "&gt;";
                break;
            case '"':
                out << "&quot;";
                break;
            case '\'':
                out << "&apos;";
                break;
            case '\t':
                out << "&#x9;";
                break;
            case '\n':
                out << "&#xA;";
                break;
            case '\r':
                out << "&#xD;";
                break;
            default:
                out << c;
        }
    }
}

}  // namespace

GraphWriter::Format GraphWriter::formatFor(const std::string& fileName) {
    if (fileName.size() < 4) return Format::Rsf;
    std::string suffix = fileName.substr(fileName.size() - 4);
    for (char& c : suffix) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return suffix == ".xml" ? Format::Xml : Format::Rsf;
}

std::string GraphWriter::problem(const GraphStore& graph, Format format) {
    for (const auto& [id, vertex] : graph.vertices()) {
        if (const char* problem = nameProblem(vertex->getName(), format)) {
            return "the name of vertex " + std::to_string(id) + " (\"" +
                   excerptForMessage(vertex->getName()) + "\") " + problem + ", which " +
                   (format == Format::Rsf ? "RSF" : "XML") + " cannot hold; save it as " +
                   (format == Format::Rsf ? "XML" : "RSF") + " instead";
        }
    }
    return {};
}

std::string GraphWriter::write(const GraphStore& graph, Format format, std::ostream& out) {
    if (std::string text = problem(graph, format); !text.empty()) return text;
    if (format == Format::Rsf) {
        writeRsf(graph, out);
    } else {
        writeXml(graph, out);
    }
    return {};
}

void GraphWriter::writeRsf(const GraphStore& graph, std::ostream& out) {
    out << "\"LevelSeparator\" \"/\"\n";
    if (graph.getRoot()) out << "\"Root\" \"" << graph.getRoot()->getId() << "\"\n";
    for (const auto& [id, vertex] : graph.vertices())
        out << "\"H\" \"" << id << "\" \"" << vertex->getName() << "\"\n";
    for (const auto& [id, edge] : graph.hierarchyEdges())
        out << "\"PCR\" \"" << edge->getStart()->getId() << "\" \"" << edge->getEnd()->getId()
            << "\"\n";
    for (const auto& [id, edge] : graph.relationEdges())
        out << "\"R\" \"" << edge->getStart()->getId() << "\" \"" << edge->getEnd()->getId()
            << "\"\n";
}

void GraphWriter::writeXml(const GraphStore& graph, std::ostream& out) {
    out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Root root_id=\""
        << (graph.getRoot() ? graph.getRoot()->getId() : 0) << "\">\n";
    for (const auto& [id, vertex] : graph.vertices()) {
        out << "  <Node id=\"" << id << "\" name=\"";
        writeAttribute(out, vertex->getName());
        out << "\"/>\n";
    }
    for (const auto& [id, edge] : graph.hierarchyEdges())
        out << "  <HierarchyEdge start=\"" << edge->getStart()->getId() << "\" end=\""
            << edge->getEnd()->getId() << "\"/>\n";
    for (const auto& [id, edge] : graph.relationEdges())
        out << "  <RelationEdge start=\"" << edge->getStart()->getId() << "\" end=\""
            << edge->getEnd()->getId() << "\"/>\n";
    out << "</Root>\n";
}

std::string GraphWriter::writeFile(const GraphStore& graph, const std::string& fileName) {
    const Format format = formatFor(fileName);
    if (std::string text = problem(graph, format); !text.empty()) return fileName + ": " + text;
    // Written beside the file and moved over it once whole: a disk that fills up half-way must
    // not cost the user the file that was there.
    const std::string partial = fileName + ".part";
    std::ofstream out(partial, std::ios::binary | std::ios::trunc);
    if (!out) return fileName + ": cannot be written: " + std::strerror(errno);
    format == Format::Rsf ? writeRsf(graph, out) : writeXml(graph, out);
    out.close();
    if (!out || std::rename(partial.c_str(), fileName.c_str()) != 0) {
        const std::string reason = std::strerror(errno);
        std::remove(partial.c_str());
        return fileName + ": cannot be written: " + reason;
    }
    return {};
}
