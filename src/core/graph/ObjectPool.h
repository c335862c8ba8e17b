#pragma once

#include <boost/shared_ptr.hpp>

#include <utility>
#include <vector>

// Storage for many small records that are created together and die together (treemap
// rectangles and strips, balloon records): chunks of objects that never move, handed out as
// shared pointers that share the pool's one reference count. A million separate heap blocks
// with their own counts would cost more to allocate and free than the layout that fills them.
// Every handed-out pointer keeps the whole pool alive, so it may outlive its layout.
template <typename T>
class ObjectPool {
public:
    static constexpr size_t kChunk = 4096;

    static boost::shared_ptr<ObjectPool> create() {
        return boost::shared_ptr<ObjectPool>(new ObjectPool);
    }

    // Constructs a new object in the pool that owner points to.
    template <typename... Args>
    static boost::shared_ptr<T> make(const boost::shared_ptr<ObjectPool>& owner, Args&&... args) {
        std::vector<std::vector<T>>& chunks = owner->m_chunks;
        if (chunks.empty() || chunks.back().size() == chunks.back().capacity()) {
            chunks.emplace_back();
            chunks.back().reserve(kChunk);
        }
        // Within the reserved capacity nothing is moved, so earlier objects stay put.
        chunks.back().emplace_back(std::forward<Args>(args)...);
        return boost::shared_ptr<T>(owner, &chunks.back().back());
    }

private:
    ObjectPool() = default;

    std::vector<std::vector<T>> m_chunks;
};
