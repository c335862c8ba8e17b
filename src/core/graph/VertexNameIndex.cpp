#include "VertexNameIndex.h"

#include "GraphStore.h"

#include <algorithm>
#include <cstring>

namespace {

char fold(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

std::string foldText(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = fold(c);
    return out;
}

// The first eight bytes of a name as one number that orders like the bytes themselves, so that
// most comparisons while sorting touch no name at all.
uint64_t leadingKey(std::string_view name) {
    uint64_t key = 0;
    for (size_t i = 0; i < 8; ++i) {
        key <<= 8;
        if (i < name.size()) key |= static_cast<unsigned char>(name[i]);
    }
    return key;
}

}  // namespace

VertexNameIndex::VertexNameIndex(const GraphStore& graph) {
    m_ids.reserve(graph.vertexCount());
    m_offsets.reserve(graph.vertexCount() + 1);
    for (const auto& [id, vertex] : graph.vertices()) {
        m_names += vertex->getName();
        m_offsets.push_back(m_names.size());
        m_ids.push_back(id);
    }
    build();
}

VertexNameIndex::VertexNameIndex(const std::vector<std::string>& names) {
    m_ids.reserve(names.size());
    m_offsets.reserve(names.size() + 1);
    for (size_t k = 0; k < names.size(); ++k) {
        m_names += names[k];
        m_offsets.push_back(m_names.size());
        m_ids.push_back(static_cast<uint32_t>(k));
    }
    build();
}

void VertexNameIndex::build() {
    const std::string folded = foldText(m_names);
    auto nameAt = [&](size_t k) {
        return std::string_view(folded).substr(m_offsets[k], m_offsets[k + 1] - m_offsets[k]);
    };
    struct Entry {
        uint64_t key;
        uint32_t id;
        size_t position;  // in id order, before sorting
    };
    std::vector<Entry> entries(m_ids.size());
    for (size_t k = 0; k < entries.size(); ++k) entries[k] = {leadingKey(nameAt(k)), m_ids[k], k};
    std::sort(entries.begin(), entries.end(), [&](const Entry& a, const Entry& b) {
        if (a.key != b.key) return a.key < b.key;
        const int order = nameAt(a.position).compare(nameAt(b.position));
        return order != 0 ? order < 0 : a.id < b.id;
    });

    std::string names, foldedSorted;
    names.reserve(m_names.size());
    foldedSorted.reserve(m_names.size());
    std::vector<size_t> offsets{0};
    offsets.reserve(entries.size() + 1);
    for (size_t k = 0; k < entries.size(); ++k) {
        const size_t from = m_offsets[entries[k].position];
        const size_t length = m_offsets[entries[k].position + 1] - from;
        names.append(m_names, from, length);
        foldedSorted.append(folded, from, length);
        offsets.push_back(names.size());
        m_ids[k] = entries[k].id;
    }
    m_names = std::move(names);
    m_folded = std::move(foldedSorted);
    m_offsets = std::move(offsets);
}

std::string_view VertexNameIndex::folded(size_t position) const {
    return std::string_view(m_folded).substr(m_offsets[position],
                                             m_offsets[position + 1] - m_offsets[position]);
}

std::string_view VertexNameIndex::original(size_t position) const {
    return std::string_view(m_names).substr(m_offsets[position],
                                            m_offsets[position + 1] - m_offsets[position]);
}

std::pair<size_t, size_t> VertexNameIndex::prefixRange(std::string_view foldedText) const {
    // Names are sorted, so those starting with the text form one run: from the first name not
    // below the text to the first whose beginning is above it.
    size_t low = 0, high = size();
    while (low < high) {
        const size_t mid = low + (high - low) / 2;
        if (folded(mid) < foldedText) {
            low = mid + 1;
        } else {
            high = mid;
        }
    }
    const size_t first = low;
    high = size();
    while (low < high) {
        const size_t mid = low + (high - low) / 2;
        if (folded(mid).substr(0, foldedText.size()) <= foldedText) {
            low = mid + 1;
        } else {
            high = mid;
        }
    }
    return {first, low};
}

std::vector<VertexNameIndex::Match> VertexNameIndex::startingWith(std::string_view text,
                                                                  size_t limit) const {
    const auto [first, last] = prefixRange(foldText(text));
    std::vector<Match> out;
    for (size_t p = first; p < last && out.size() < limit; ++p) out.push_back(matchAt(p));
    return out;
}

size_t VertexNameIndex::countStartingWith(std::string_view text) const {
    const auto [first, last] = prefixRange(foldText(text));
    return last - first;
}

void VertexNameIndex::scanContaining(std::string_view foldedText, size_t skipFrom, size_t skipTo,
                                     size_t limit, std::vector<Match>& out) const {
    if (out.size() >= limit) return;
    if (foldedText.empty()) {
        for (size_t p = 0; p < size() && out.size() < limit; ++p) {
            if (p < skipFrom || p >= skipTo) out.push_back(matchAt(p));
        }
        return;
    }
    // One search through all names laid end to end; a hit that runs over the end of a name
    // is not one, and the search goes on from the byte after its start.
    const char* const begin = m_folded.data();
    const size_t total = m_folded.size();
    size_t from = 0;
    while (from < total && out.size() < limit) {
        const void* hit = memmem(begin + from, total - from, foldedText.data(), foldedText.size());
        if (!hit) break;
        const size_t at = static_cast<size_t>(static_cast<const char*>(hit) - begin);
        // The name holding byte `at`: the last one starting at or before it. Empty names share
        // their start with the next name; upper_bound skips them.
        const size_t p = static_cast<size_t>(
            std::upper_bound(m_offsets.begin(), m_offsets.end(), at) - m_offsets.begin() - 1);
        if (at + foldedText.size() <= m_offsets[p + 1]) {
            if (p < skipFrom || p >= skipTo) out.push_back(matchAt(p));
            from = m_offsets[p + 1];
        } else {
            from = at + 1;
        }
    }
}

std::vector<VertexNameIndex::Match> VertexNameIndex::containing(std::string_view text,
                                                                size_t limit) const {
    std::vector<Match> out;
    scanContaining(foldText(text), 0, 0, limit, out);
    return out;
}

std::vector<VertexNameIndex::Match> VertexNameIndex::find(std::string_view text,
                                                          size_t limit) const {
    const std::string foldedText = foldText(text);
    const auto [first, last] = prefixRange(foldedText);
    std::vector<Match> out;
    for (size_t p = first; p < last && out.size() < limit; ++p) out.push_back(matchAt(p));
    scanContaining(foldedText, first, last, limit, out);
    return out;
}

std::vector<VertexNameIndex::Match> VertexNameIndex::named(std::string_view text,
                                                           size_t limit) const {
    const std::string foldedText = foldText(text);
    // Equal names come first in the run of names starting with the text.
    const auto [first, last] = prefixRange(foldedText);
    std::vector<Match> out;
    for (size_t p = first; p < last && out.size() < limit && folded(p) == foldedText; ++p) {
        out.push_back(matchAt(p));
    }
    return out;
}
