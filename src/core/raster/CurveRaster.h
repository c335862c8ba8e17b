#pragma once

#include "CurveSampler.h"

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

// Draws relation curves as one-pixel lines on the CPU, on every processor, into per-pixel sums
// from which the curve layer of a frame is composed over the scene: the same picture the GL
// draws with a maximum pass and an alpha pass, in one walk over the curves.
//
// Per pixel it keeps the maximum of the trace colours, the product T of (1 - alpha) and the
// alpha-blended colours S over transparent black, so that "blend over the scene after the trace"
// is max(scene, trace) * T + S. The threads split the picture into bands of rows; each draws
// every curve, in list order, clipped to its band, so the order of blending is kept.
class CurveRaster {
public:
    // How the curve passes combine. Trace: the colour, times traceShare, kept by maximum.
    // Blend (when blend is set): the colour, mixed towards white by tint, blended by its alpha.
    struct Mix {
        float traceShare = 0.35f;
        bool blend = true;
        float tint = 0;
    };
    using Deadline = std::optional<std::chrono::steady_clock::time_point>;
    // What one draw takes: every stride-th curve of the list from number first on.
    struct Draw {
        const CurveSampler* sampler = nullptr;
        CurveLook look;
        Mix mix;
        // Highlight slot per list position; none: all plain.
        const std::vector<uint8_t>* curveSlots = nullptr;
        size_t stride = 1;
        size_t first = 0;
        Deadline deadline;
    };

    // Threads used by draws; 0 takes the processor count.
    explicit CurveRaster(unsigned threads = 0);

    // Clears the sums for a picture of width x height. depth: the scene's window depth per pixel,
    // rows bottom-up; a curve fragment shows where its depth is at most the scene's (empty: no
    // test). Throws std::bad_alloc when the sums do not fit.
    void begin(int width, int height, std::vector<float> depth);
    // Draws the curves from draw.first on, in runs, until all are drawn or a run ends past the
    // deadline; returns the number of the first curve not drawn (the count of drawn curves when
    // all were). An exception of a worker thread is thrown here once all have stopped.
    size_t draw(const Draw& draw);
    // One line strip of count points with this opacity and picking code, on every band.
    void drawStrip(const CurvePoint* points, size_t count, float alpha, int32_t code,
                   const Mix& mix);
    // How many curves a draw of this stride draws in all.
    size_t drawnCount(size_t stride) const;

    // The curve layer over a scene picture of RGBA floats (rows bottom-up, width x height), in
    // place.
    void compose(float* scene) const;
    // The list position of the last curve drawn at pixel (x, y) (rows bottom-up), or -1.
    int64_t curveAt(int x, int y) const;
    int width() const { return m_width; }
    int height() const { return m_height; }
    unsigned threads() const { return m_threads; }

private:
    // A pixel's sums beside the scene's depth there: a fragment reads both, from one place.
    struct Sums {
        float trace[4];
        float blended[4];
        float transmitted;
        int32_t code;
        float depth;  // the scene's depth plus the slack a fragment may lie behind it
    };
    struct Segment;
    struct Band {
        int rowBegin, rowEnd;
    };
    // Rows of band part of parts.
    Band band(unsigned part, unsigned parts) const;
    unsigned bandCount() const;
    static std::array<float, 2> heightOf(const CurvePoint* points, size_t count);
    void stripInBand(const CurvePoint* points, size_t count, float alpha, int32_t code,
                     const Mix& mix, const Band& band);
    void drawSegment(const Segment& s, const Band& band);
    void shade(size_t pixel, float z, const float* rgb, float alpha, int32_t code, const Mix& mix);
    template <typename Work>
    void inParallel(unsigned count, Work work);

    unsigned m_threads;
    int m_width = 0, m_height = 0;
    size_t m_curveCount = 0;
    std::vector<Sums> m_sums;
};
