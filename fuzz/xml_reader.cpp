// The XML reader on arbitrary bytes, three ways:
// - as the loader reads it (whole, with the loader's nesting limit);
// - split into parts parsed and walked on parallel threads, as large files are: the records and
//   the problem must be exactly those of the whole read;
// - with a small nesting limit: unless the read refuses the file as nested too deeply, no
//   element the parser built may lie deeper than the limit (the check before parsing is what
//   keeps the parser's recursion off the end of the stack).
// Every record must also have one of the four keys, its number of values and, for numbers, the
// decimal text of a 32-bit integer.
#include "GraphLoader.h"
#include "LoadXMLTree.h"
#include "FuzzCheck.h"
#include "ScratchFile.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <tuple>

namespace {

constexpr int kSmallNesting = 6;

// Notes the deepest element walked: the walk passes its level plus one to readAttributes.
class DepthRecordingReader : public LoadXMLTree {
public:
    using LoadXMLTree::LoadXMLTree;
    void readAttributes(TiXmlElement* element, int depth) override {
        m_deepest = std::max(m_deepest, depth - 1);
        LoadXMLTree::readAttributes(element, depth);
    }
    int deepest() const { return m_deepest; }

private:
    int m_deepest = 0;
};

bool sameProblem(const LoadXMLTree::Problem& a, const LoadXMLTree::Problem& b) {
    return a.text == b.text && a.line == b.line && a.column == b.column;
}

bool sameRecords(const std::vector<DataRecord>& a, const std::vector<DataRecord>& b) {
    auto same = [](const DataRecord& x, const DataRecord& y) {
        return std::tie(x.key, x.values, x.line, x.column) ==
               std::tie(y.key, y.values, y.line, y.column);
    };
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), same);
}

bool isIntegerText(const std::string& text) {
    try {
        size_t used = 0;
        const long long value = std::stoll(text, &used);
        return used == text.size() && value >= INT32_MIN && value <= INT32_MAX &&
               std::to_string(value) == text;
    } catch (const std::exception&) {
        return false;
    }
}

void checkRecord(const DataRecord& record) {
    if (record.key == "Root") {
        FUZZ_CHECK(record.values.size() == 1 && isIntegerText(record.values[0]));
    } else if (record.key == "H") {
        FUZZ_CHECK(record.values.size() == 2 && isIntegerText(record.values[0]));
    } else {
        FUZZ_CHECK(record.key == "PCR" || record.key == "R");
        FUZZ_CHECK(record.values.size() == 2 && isIntegerText(record.values[0]) &&
                   isIntegerText(record.values[1]));
    }
    FUZZ_CHECK(record.line >= 1 && record.column >= 1);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = ScratchFile::write(data, size, ".xml");

    LoadXMLTree whole(GraphLoader::kMaxXmlNesting);
    const std::vector<DataRecord> records = whole.read(path.c_str());
    for (const DataRecord& record : records) checkRecord(record);

    LoadXMLTree parts(GraphLoader::kMaxXmlNesting, /*splitBytes=*/1);
    FUZZ_CHECK(sameRecords(records, parts.read(path.c_str())));
    FUZZ_CHECK(sameProblem(whole.problem(), parts.problem()));

    DepthRecordingReader shallow(kSmallNesting);
    shallow.read(path.c_str());
    const bool refused = shallow.problem().text.rfind("elements are nested deeper", 0) == 0;
    FUZZ_CHECK(refused || shallow.deepest() <= kSmallNesting);
    return 0;
}
