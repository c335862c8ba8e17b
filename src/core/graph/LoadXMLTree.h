#pragma once

#include "LoadData.h"
#include "ReadFile.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct XmlOutline;

// Reads an XML data file: every Root, Node, HierarchyEdge and RelationEdge element, wherever it
// stands, becomes a record, built from the attribute values remembered so far in the document.
class LoadXMLTree : public LoadData, public ReadFile {
public:
    // Why the last read did not give the whole document; text is empty when nothing went wrong.
    struct Problem {
        std::string text;
        int line = 0;
        int column = 0;
    };

    // Elements nested deeper than maxNesting are refused before parsing, as the parser descends
    // one call per level. Files of at least splitBytes are parsed in parts on parallel threads.
    explicit LoadXMLTree(int maxNesting = 2'000, size_t splitBytes = 8 << 20)
        : m_maxNesting(maxNesting), m_splitBytes(splitBytes) {}
    ~LoadXMLTree() override;

    // The records of the file in document order, each with the line and column of its element.
    // A file that cannot be read, is nested too deeply or is not well-formed gives the records
    // parsed before the trouble (possibly none), and problem() says what went wrong.
    std::vector<DataRecord> read(const char* fileName) override;
    void readAttributes(TiXmlElement* element, int depth) override;
    // Handles node and then everything below it, in document order.
    void walkNode(TiXmlNode* node, int depth);

    const Problem& problem() const { return m_problem; }
    // Frees the parsed document; the records read stay as they are. The destructor does it too,
    // but a large document takes a while to free, so callers may do it early or on a thread.
    void releaseDocument();

private:
    // The remembered attribute values, as bits of m_assigned.
    enum Field : uint8_t { kStart, kEnd, kRootId, kId, kName };
    static unsigned bit(Field field) { return 1u << field; }
    // A value of a record that came from before the part being walked.
    struct Fixup {
        size_t record;
        size_t slot;
        Field field;
    };

    bool parseInParts(std::string& text, const XmlOutline& outline);
    void walkPart(TiXmlNode* standIn);
    void walkPartsAtOnce();
    void handleNode(TiXmlNode* node, int depth);
    std::string rememberedText(Field field) const;
    void pushValue(DataRecord& record, Field field);
    DataRecord& appendRecord(const char* key, const TiXmlElement& element);
    void appendEdge(const char* key, const TiXmlElement& element);
    void readInteger(const TiXmlAttribute& attribute, const TiXmlElement& element, int32_t& value,
                     Field field);

    std::vector<DataRecord> m_records;
    int32_t m_attrStart = 0;
    int32_t m_attrEnd = 0;
    int32_t m_attrRootId = 0;
    int32_t m_attrId = 0;
    std::string m_attrName;

    int m_maxNesting;
    size_t m_splitBytes;
    Problem m_problem;
    // The later parts of a document parsed in parts; m_doc holds the first. Each later part is
    // one stand-in for the document element holding the next run of its children, followed, in
    // the last part, by whatever comes after that element.
    std::vector<std::unique_ptr<TiXmlDocument>> m_parts;
    // Set on the readers that walk a later part at the same time as the rest: which remembered
    // values the part assigned so far, and the values taken before it did.
    bool m_tracking = false;
    size_t m_recordsPerPart = 0;
    unsigned m_assigned = 0;
    std::vector<Fixup> m_fixups;
};
