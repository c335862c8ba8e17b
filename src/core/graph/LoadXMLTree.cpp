#include "LoadXMLTree.h"
#include "OpeningWatch.h"

#include "ParallelRuns.h"

#include "IntegerText.h"
#include "Trace.h"
#include "XmlNesting.h"

#include <algorithm>
#include <cctype>
#include <thread>
#include <iterator>
#include <cstdio>
#include <cstring>
#include <utility>

namespace {

constexpr size_t kBytesPerRecord = 32;

// The whole file, for the scan before parsing; false when it cannot be read.
bool readWholeFile(const char* fileName, std::string& bytes) {
    std::FILE* file = std::fopen(fileName, "rb");
    if (!file) return false;
    bool ok = std::fseek(file, 0, SEEK_END) == 0;
    long size = ok ? std::ftell(file) : -1;
    ok = size >= 0 && std::fseek(file, 0, SEEK_SET) == 0;
    if (ok) {
        bytes.resize(static_cast<size_t>(size));
        ok = std::fread(bytes.data(), 1, bytes.size(), file) == bytes.size();
    }
    std::fclose(file);
    return ok;
}

// What the parser's own file loading does before parsing: CR LF and lone CR become LF, and the
// text ends at the first NUL byte. Rows and columns then agree with a document loaded directly.
void normaliseLineBreaks(std::string& text) {
    // Most files have neither; finding that out costs two fast searches.
    const size_t nul = text.find('\0');
    if (nul != std::string::npos) text.resize(nul);
    size_t p = text.find('\r');
    if (p == std::string::npos) return;
    size_t q = p;
    for (; p < text.size(); ++p) {
        if (text[p] == '\r') {
            text[q++] = '\n';
            if (p + 1 < text.size() && text[p + 1] == '\n') ++p;
        } else {
            text[q++] = text[p];
        }
    }
    text.resize(q);
}

// Parses text, which ends at its first NUL. The parser steps over a UTF-8 sequence by the
// length its lead byte announces even where the text ends inside the sequence, and reads on
// from there: past the end, or into what a NUL cut off. NULs after the end stop it within them.
void parseToEnd(TiXmlDocument& document, std::string& text, TiXmlEncoding encoding) {
    constexpr size_t kLongestSequence = 4;
    const size_t size = text.size();
    text.append(kLongestSequence, '\0');
    document.Parse(text.c_str(), nullptr, encoding);
    text.resize(size);
}

// The encoding the parser settles on for everything after the prolog: a byte order mark means
// UTF-8; otherwise the first declaration decides (none or "UTF-8" is UTF-8, anything else the
// legacy encoding), and without one it stays undetermined.
TiXmlEncoding encodingAfterProlog(const std::string& text, size_t prologEnd) {
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) return TIXML_ENCODING_UTF8;
    TiXmlDocument prolog;
    std::string prologText = text.substr(0, prologEnd);
    parseToEnd(prolog, prologText, TIXML_DEFAULT_ENCODING);
    for (const TiXmlNode* node = prolog.FirstChild(); node; node = node->NextSibling()) {
        if (const TiXmlDeclaration* declaration = node->ToDeclaration()) {
            std::string encoding = declaration->Encoding();
            for (char& c : encoding)
                c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
            if (encoding.empty() || encoding.compare(0, 5, "UTF-8") == 0 ||
                encoding.compare(0, 4, "UTF8") == 0) {
                return TIXML_ENCODING_UTF8;
            }
            return TIXML_ENCODING_LEGACY;
        }
    }
    return TIXML_ENCODING_UNKNOWN;
}

// Whether the first part parsed to what the scan expects: its one top-level element is the
// document element, on the row where the scan found it. The parser stops without an error at
// top-level text it cannot place (the "]>" after an internal DTD subset, say); stopping before
// the document element leaves it out, and the later parts would hold elements that parsing the
// whole file never reaches.
bool holdsDocumentElement(const TiXmlDocument& document, const std::string& name, int row) {
    const TiXmlElement* element = document.FirstChildElement();
    return element && element->ValueStr() == name && element->Row() == row &&
           !element->NextSiblingElement();
}

}  // namespace

std::vector<DataRecord> LoadXMLTree::read(const char* fileName) {
    m_records.clear();
    m_problem = Problem();
    m_parts.clear();
    trace() << "READXMLFILE\n";

    m_doc.Clear();
    m_doc.ClearError();
    m_doc.SetValue(fileName);
    std::string text;
    if (!readWholeFile(fileName, text)) {
        m_doc.LoadFile(fileName, TIXML_DEFAULT_ENCODING);  // reports the failure in its terms
    } else if (!parse(fileName, text)) {
        return std::vector<DataRecord>();
    }
    if (m_doc.Error()) {
        m_problem.text = std::string("not well-formed XML: ") + m_doc.ErrorDesc();
        m_problem.line = m_doc.ErrorRow();
        m_problem.column = m_doc.ErrorCol();
    }

    // Parts are walked at once only while the trace goes nowhere: its lines must keep their order.
    if (!m_parts.empty() && !trace().good()) {
        walkPartsAtOnce();
    } else {
        walkNode(&m_doc, 0);
        for (const auto& part : m_parts) walkPart(part->FirstChild());
    }
    std::vector<DataRecord> records = std::move(m_records);
    m_records.clear();
    return records;
}

bool LoadXMLTree::parse(const char* fileName, std::string& text) {
    normaliseLineBreaks(text);
    const size_t parts = text.size() >= m_splitBytes
                             ? std::clamp<size_t>(std::thread::hardware_concurrency(), 2, 4)
                             : 1;
    const XmlOutline outline = scanXmlOutline(text, m_maxNesting, parts);
    // Refused before parsing: the problem at the offset where the scan found it.
    if (outline.tooDeepAt != std::string::npos) {
        refuseAt(text, outline.tooDeepAt,
                 "elements are nested deeper than " + std::to_string(m_maxNesting) + " levels");
        return false;
    }
    if (outline.misreadAt != std::string::npos) {
        refuseAt(text, outline.misreadAt,
                 "not well-formed XML: a UTF-8 sequence or character reference is cut short");
        return false;
    }
    // Elements of a data file take 30 to 50 bytes. Reserving for that keeps the record list
    // from being copied as it grows; reserved space not written costs no memory.
    m_recordsPerPart = text.size() / kBytesPerRecord / parts + 1;
    m_records.reserve(text.size() / kBytesPerRecord + 1);
    if (outline.splits.empty()) {
        parseToEnd(m_doc, text, TIXML_DEFAULT_ENCODING);
    } else if (!parseInParts(text, outline)) {
        // Trouble in some part: parsing the whole file reports it exactly as it stands.
        m_parts.clear();
        m_doc.Clear();
        m_doc.ClearError();
        if (readWholeFile(fileName, text)) {
            normaliseLineBreaks(text);
            parseToEnd(m_doc, text, TIXML_DEFAULT_ENCODING);
        } else {
            m_doc.LoadFile(fileName, TIXML_DEFAULT_ENCODING);
        }
    }
    std::string().swap(text);
    return true;
}

void LoadXMLTree::refuseAt(const std::string& text, size_t at, std::string problem) {
    const auto before = text.begin() + static_cast<std::ptrdiff_t>(at);
    const auto lineStart = std::find(std::make_reverse_iterator(before), text.rend(), '\n');
    m_problem.line = 1 + static_cast<int>(std::count(text.begin(), before, '\n'));
    m_problem.column = 1 + static_cast<int>(lineStart - std::make_reverse_iterator(before));
    m_problem.text = std::move(problem);
}

LoadXMLTree::~LoadXMLTree() { releaseDocument(); }

void LoadXMLTree::walkPart(TiXmlNode* standIn) {
    for (TiXmlNode* child = standIn->FirstChild(); child; child = child->NextSibling()) {
        walkNode(child, 2);
    }
    for (TiXmlNode* after = standIn->NextSibling(); after; after = after->NextSibling()) {
        walkNode(after, 1);
    }
}

void LoadXMLTree::walkPartsAtOnce() {
    // Each later part is walked by a reader of its own, starting with nothing remembered; a
    // record that uses a value remembered from before its part gets it filled in afterwards,
    // when the parts are joined in document order.
    std::vector<std::unique_ptr<LoadXMLTree>> walkers;
    for (size_t k = 0; k < m_parts.size(); ++k) {
        walkers.push_back(std::make_unique<LoadXMLTree>(m_maxNesting, m_splitBytes));
        walkers.back()->m_tracking = true;
        walkers.back()->m_records.reserve(m_recordsPerPart);
    }
    // Task 0 walks the first part into this reader, task k part k into walker k - 1. Memory
    // running out in any of them ends the walk with every thread joined, and is thrown here.
    const size_t tasks = m_parts.size() + 1;
    runIndexed(int(tasks), tasks, [&](int k) {
        if (k == 0) {
            walkNode(&m_doc, 0);
        } else {
            walkers[k - 1]->walkPart(m_parts[k - 1]->FirstChild());
        }
    });

    size_t total = m_records.size();
    for (const auto& walker : walkers) total += walker->m_records.size();
    m_records.reserve(total);
    for (const auto& walker : walkers) {
        const size_t offset = m_records.size();
        for (DataRecord& record : walker->m_records) m_records.push_back(std::move(record));
        for (const Fixup& fixup : walker->m_fixups) {
            m_records[offset + fixup.record].values[fixup.slot] = rememberedText(fixup.field);
        }
        if (walker->m_assigned & bit(kStart)) m_attrStart = walker->m_attrStart;
        if (walker->m_assigned & bit(kEnd)) m_attrEnd = walker->m_attrEnd;
        if (walker->m_assigned & bit(kRootId)) m_attrRootId = walker->m_attrRootId;
        if (walker->m_assigned & bit(kId)) m_attrId = walker->m_attrId;
        if (walker->m_assigned & bit(kName)) m_attrName = walker->m_attrName;
        if (m_problem.text.empty()) m_problem = walker->m_problem;
    }
}

std::string LoadXMLTree::rememberedText(Field field) const {
    switch (field) {
        case kStart:
            return std::to_string(m_attrStart);
        case kEnd:
            return std::to_string(m_attrEnd);
        case kRootId:
            return std::to_string(m_attrRootId);
        case kId:
            return std::to_string(m_attrId);
        case kName:
            break;
    }
    return m_attrName;
}

void LoadXMLTree::pushValue(DataRecord& record, Field field) {
    if (m_tracking && !(m_assigned & bit(field))) {
        m_fixups.push_back({m_records.size() - 1, record.values.size(), field});
    }
    record.values.push_back(rememberedText(field));
}

void LoadXMLTree::releaseDocument() {
    // Each part on a thread of its own, as freeing millions of nodes takes a while.
    auto free = [this](int k) {
        if (k == 0) {
            m_doc.Clear();
        } else {
            m_parts[k - 1].reset();
        }
    };
    const size_t tasks = m_parts.size() + 1;
    try {
        runIndexed(int(tasks), tasks, free);
    } catch (...) {
        // No memory even to start: freed here, one after the other (freeing twice is harmless).
        for (size_t k = 0; k < tasks; ++k) free(int(k));
    }
    m_parts.clear();
}

bool LoadXMLTree::parseInParts(std::string& text, const XmlOutline& outline) {
    // The document element's children are cut at the split points. The first part is the text
    // up to the first cut with the element closed, made from text itself; every later part opens a
    // stand-in element of the same name, pads with line breaks and the blanks before the cut so
    // that every row and column comes out as in the whole file, and holds the text up to the next
    // cut (the last one up to the end, where the original end tag closes the stand-in).
    const std::string& name = outline.documentElement;
    const std::string endTag = "</" + name + ">";
    const TiXmlEncoding encoding = encodingAfterProlog(text, outline.documentElementAt);
    std::vector<std::string> texts;
    texts.emplace_back();  // the first part is made in place, below
    size_t line = 1, counted = 0;
    for (size_t k = 0; k < outline.splits.size(); ++k) {
        const size_t cut = outline.splits[k];
        const size_t next = k + 1 < outline.splits.size() ? outline.splits[k + 1] : text.size();
        line +=
            static_cast<size_t>(std::count(text.begin() + static_cast<std::ptrdiff_t>(counted),
                                           text.begin() + static_cast<std::ptrdiff_t>(cut), '\n'));
        counted = cut;
        const size_t lineStart = text.rfind('\n', cut) + 1;  // a cut never lies on line 1
        std::string part = "<" + name + ">";
        part.reserve(part.size() + line + (next - lineStart) + endTag.size());
        part.append(line - 1, '\n');
        part.append(text, lineStart, next - lineStart);
        if (next != text.size()) part += endTag;
        texts.push_back(std::move(part));
    }
    const int elementRow =
        1 + static_cast<int>(std::count(
                text.begin(), text.begin() + static_cast<std::ptrdiff_t>(outline.documentElementAt),
                '\n'));
    text.resize(outline.splits.front());
    text += endTag;

    for (size_t k = 1; k < texts.size(); ++k) m_parts.push_back(std::make_unique<TiXmlDocument>());
    // Part 0 is the document itself. Memory running out in any part ends the parse with every
    // thread joined, and is thrown here.
    runIndexed(int(texts.size()), texts.size(), [&](int k) {
        if (k == 0) {
            parseToEnd(m_doc, text, TIXML_DEFAULT_ENCODING);
        } else {
            parseToEnd(*m_parts[k - 1], texts[k], encoding);
        }
    });

    if (m_doc.Error() || !holdsDocumentElement(m_doc, name, elementRow)) return false;
    for (const auto& part : m_parts) {
        const TiXmlNode* standIn = part->FirstChild();
        if (part->Error() || !standIn || !standIn->ToElement() || standIn->ValueStr() != name) {
            return false;
        }
    }
    return true;
}

void LoadXMLTree::walkNode(TiXmlNode* node, int depth) {
    // Pre-order with an explicit stack: documents may be nested far deeper than the call stack
    // would allow. The stack holds at most one pending sibling per open level.
    std::vector<std::pair<TiXmlNode*, int>> pending;
    pending.emplace_back(node, depth);
    while (!pending.empty()) {
        auto [current, level] = pending.back();
        pending.pop_back();
        OpeningWatch::step(m_records.size(), m_recordsPerPart);
        handleNode(current, level);
        if (current != node && current->NextSibling()) {
            pending.emplace_back(current->NextSibling(), level);
        }
        if (current->FirstChild()) pending.emplace_back(current->FirstChild(), level + 1);
    }
}

void LoadXMLTree::handleNode(TiXmlNode* node, int depth) {
    // Readers walking a later part run only while the trace drops everything, and leave the
    // shared stream alone: even a failed stream notes each write in its state.
    if (!m_tracking) trace() << "pParent->Value():" << node->Value() << '\n';
    if (TiXmlElement* element = node->ToElement()) {
        readAttributes(element, depth + 1);
        const char* name = element->Value();
        if (std::strcmp(name, "Root") == 0) {
            pushValue(appendRecord("Root", *element), kRootId);
        } else if (std::strcmp(name, "Node") == 0) {
            DataRecord& record = appendRecord("H", *element);
            pushValue(record, kId);
            pushValue(record, kName);
        } else if (std::strcmp(name, "HierarchyEdge") == 0) {
            appendEdge("PCR", *element);
        } else if (std::strcmp(name, "RelationEdge") == 0) {
            appendEdge("R", *element);
        }
    } else if (node->ToText()) {
        if (!m_tracking) trace() << "pText: " << node->Value() << '\n';
    }
}

DataRecord& LoadXMLTree::appendRecord(const char* key, const TiXmlElement& element) {
    DataRecord& record = m_records.emplace_back();
    record.key = key;
    record.values.reserve(2);
    record.line = element.Row();
    record.column = element.Column();
    return record;
}

void LoadXMLTree::appendEdge(const char* key, const TiXmlElement& element) {
    DataRecord& record = appendRecord(key, element);
    pushValue(record, kStart);
    pushValue(record, kEnd);
}

void LoadXMLTree::readAttributes(TiXmlElement* element, int /*depth*/) {
    for (const TiXmlAttribute* attribute = element->FirstAttribute(); attribute;
         attribute = attribute->Next()) {
        const char* name = attribute->Name();
        if (std::strcmp(name, "start") == 0) {
            readInteger(*attribute, *element, m_attrStart, kStart);
        } else if (std::strcmp(name, "end") == 0) {
            readInteger(*attribute, *element, m_attrEnd, kEnd);
        } else if (std::strcmp(name, "id") == 0) {
            readInteger(*attribute, *element, m_attrId, kId);
        } else if (std::strcmp(name, "root_id") == 0) {
            readInteger(*attribute, *element, m_attrRootId, kRootId);
        } else if (std::strcmp(name, "name") == 0) {
            m_attrName = attribute->Value();
            m_assigned |= bit(kName);
        }
    }
}

void LoadXMLTree::readInteger(const TiXmlAttribute& attribute, const TiXmlElement& element,
                              int32_t& value, Field field) {
    // Text that does not begin with a number leaves the remembered value as it was; so does a
    // number beyond 32 bits, which is also reported, as taking any part of it would be a guess.
    const LenientResult result = parseScanfInt(attribute.Value(), value);
    if (result == LenientResult::Ok) m_assigned |= bit(field);
    if (result == LenientResult::OutOfRange && m_problem.text.empty()) {
        m_problem.text = std::string("attribute ") + attribute.Name() + "=\"" +
                         excerptForMessage(attribute.Value()) + "\" does not fit in 32 bits";
        m_problem.line = element.Row();
        m_problem.column = element.Column();
    }
}
