#pragma once

#include <utility>

// Writes keys that come in ascending order into a sorted map, each in amortised constant time
// whether the map is empty or not: the inserter keeps the first entry not below the next key,
// and a new entry goes in just before it, which leaves it in place.
template <class Map>
class AscendingInserter {
public:
    explicit AscendingInserter(Map& map) : m_map(map), m_next(map.begin()) {}

    // Sets the value of key, adding its entry if the map has none.
    template <class Value>
    void assign(const typename Map::key_type& key, Value&& value) {
        while (m_next != m_map.end() && m_next->first < key) ++m_next;
        if (m_next != m_map.end() && m_next->first == key) {
            m_next->second = std::forward<Value>(value);
            ++m_next;
        } else {
            m_map.emplace_hint(m_next, key, std::forward<Value>(value));
        }
    }

private:
    Map& m_map;
    typename Map::iterator m_next;
};
