#pragma once

#include "SplineCurve.h"

#include <cstddef>
#include <memory>
#include <vector>

// The memory of one list of curves: chunks that fill while curves are added, then one array in
// list order once the list is ordered, so that walking the list walks memory forwards.
class CurveArena {
public:
    // Storage for a new curve of `floats` floats.
    float* allocate(size_t floats);
    // Moves the blocks of the list's curves into one array in list order and frees the chunks.
    void compact(std::vector<SplineCurve>& list);

private:
    // Floats per chunk while curves are being added. Large enough (64 MB) for the allocator to
    // map each chunk on its own, so that freeing chunks after ordering gives the memory back
    // instead of leaving holes in the heap; pages never written cost nothing.
    static constexpr size_t kChunkFloats = size_t(1) << 24;
    // The first chunk is far smaller, and each next one twice the last up to kChunkFloats: a
    // small graph need not map 64 MB per view.
    static constexpr size_t kFirstChunkFloats = size_t(1) << 16;

    struct FreeFloats {
        void operator()(float* p) const;
    };
    // Line-aligned float arrays.
    using FloatArray = std::unique_ptr<float[], FreeFloats>;
    static FloatArray allocateLines(size_t floats);

    std::vector<FloatArray> m_chunks;
    size_t m_chunkFree = 0;
    size_t m_chunkSize = 0;
    FloatArray m_ordered;
};
