#include "CurveArena.h"

#include <algorithm>
#include <cstdlib>
#include <new>

void CurveArena::FreeFloats::operator()(float* p) const { std::free(p); }

CurveArena::FloatArray CurveArena::allocateLines(size_t floats) {
    const size_t bytes = ((std::max<size_t>(floats, 1) * sizeof(float)) + 63) & ~size_t(63);
    float* p = static_cast<float*>(std::aligned_alloc(64, bytes));
    if (!p) throw std::bad_alloc();
    return FloatArray(p);
}

float* CurveArena::allocate(size_t floats) {
    if (m_chunks.empty() || m_chunkFree < floats) {
        const size_t next =
            m_chunks.empty() ? kFirstChunkFloats : std::min(2 * m_chunkSize, kChunkFloats);
        // A block larger than the next chunk gets a chunk of exactly its size.
        m_chunkSize = std::max(next, floats);
        m_chunks.push_back(allocateLines(m_chunkSize));
        m_chunkFree = m_chunkSize;
    }
    float* block = m_chunks.back().get() + (m_chunkSize - m_chunkFree);
    m_chunkFree -= floats;
    return block;
}

void CurveArena::compact(std::vector<SplineCurve>& list) {
    size_t total = 0;
    for (const SplineCurve& curve : list) {
        total += SplineCurve::storageSize(curve.getControlCount(), curve.getSampleCount());
    }
    FloatArray ordered = allocateLines(total);
    float* next = ordered.get();
    for (SplineCurve& curve : list) {
        curve.relocate(next);
        next += SplineCurve::storageSize(curve.getControlCount(), curve.getSampleCount());
    }
    m_ordered = std::move(ordered);
    m_chunks.clear();
    m_chunkFree = 0;
}
