#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class GraphStore;

// Vertex names of one graph, sorted once, for finding vertices by what the user types. Matching
// ignores ASCII case (other bytes are compared as they are); results come in name order, equal
// names by ascending id. Prefix queries cost a binary search plus the matches returned; queries
// for text inside names scan every name once.
class VertexNameIndex {
public:
    struct Match {
        uint32_t id;
        std::string_view name;  // points into the index: valid while the index lives
    };

    VertexNameIndex() = default;
    explicit VertexNameIndex(const GraphStore& graph);
    // Name k belongs to vertex id k.
    explicit VertexNameIndex(const std::vector<std::string>& names);

    size_t size() const { return m_ids.size(); }

    // At most limit vertices whose name starts with text.
    std::vector<Match> startingWith(std::string_view text, size_t limit) const;
    // How many names start with text, without listing them.
    size_t countStartingWith(std::string_view text) const;
    // At most limit vertices whose name contains text anywhere.
    std::vector<Match> containing(std::string_view text, size_t limit) const;
    // What a search field offers: the names starting with text, then the others containing it,
    // at most limit in all.
    std::vector<Match> find(std::string_view text, size_t limit) const;
    // Vertices whose whole name is text (ignoring ASCII case), at most limit.
    std::vector<Match> named(std::string_view text, size_t limit) const;

private:
    // Sorts the names gathered in m_names / m_offsets / m_ids (in id order) by folded name and
    // id, and lays both copies out again in that order.
    void build();
    std::string_view folded(size_t position) const;
    std::string_view original(size_t position) const;
    Match matchAt(size_t position) const { return {m_ids[position], original(position)}; }
    // Positions [first, last) of the names starting with the folded text.
    std::pair<size_t, size_t> prefixRange(std::string_view foldedText) const;
    // Appends the names containing foldedText outside positions [skipFrom, skipTo), in order.
    void scanContaining(std::string_view foldedText, size_t skipFrom, size_t skipTo, size_t limit,
                        std::vector<Match>& out) const;

    std::string m_names;               // original names laid end to end
    std::string m_folded;              // the same with ASCII letters in lower case
    std::vector<size_t> m_offsets{0};  // name k spans [m_offsets[k], m_offsets[k + 1])
    std::vector<uint32_t> m_ids;
};
