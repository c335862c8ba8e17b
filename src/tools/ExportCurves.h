#pragma once
// The curve section of ramiflex-export: after the layout lines, one line per curve of every view.

#include "GraphStore.h"
#include "SplineStore.h"
#include "View.h"

#include <cstdio>
#include <memory>
#include <string>

// Appends "%.9g" of value and a separator to line.
inline void appendNumber(std::string& line, double value, char separator) {
    char text[32];
    const int length = std::snprintf(text, sizeof text, "%.9g", value);
    line.append(text, length);
    line.push_back(separator);
}

// Builds the curves of the five views as the renderer does, orders them, applies beta once and
// writes, for view v = 0..4 and each curve at list position p:
//   curve <TAB> v <TAB> p <TAB> edgeId <TAB> n <TAB> length <TAB> tex <TAB> x y z x y z ...
// (the samples after beta, space separated; every number "%.9g").
inline void writeCurveLines(std::FILE* out, const GraphStore& graph, const View* const views[5],
                            float beta) {
    SplineStore store(int32_t(graph.depthCount()));
    store.addCurvesOfViews(graph, views);
    store.orderByLength();
    store.applyBeta(beta);
    std::string line;
    for (int32_t type = 0; type < 5; ++type) {
        const SplineStore::CurveList& list = *store.curvesFor(type);
        for (size_t p = 0; p < list.size(); ++p) {
            const SplineCurve& curve = list[p];
            line = "curve\t";
            appendNumber(line, type, '\t');
            appendNumber(line, double(p), '\t');
            appendNumber(line, curve.getEdgeId(), '\t');
            appendNumber(line, curve.getControlCount(), '\t');
            appendNumber(line, curve.getLength(), '\t');
            appendNumber(line, curve.getTexValue(), '\t');
            for (int32_t j = 0; j < curve.getSampleCount(); ++j) {
                const Point3 point = curve.point(j);
                const bool last = j + 1 == curve.getSampleCount();
                appendNumber(line, point[0], ' ');
                appendNumber(line, point[1], ' ');
                appendNumber(line, point[2], last ? '\n' : ' ');
            }
            std::fwrite(line.data(), 1, line.size(), out);
        }
    }
}
