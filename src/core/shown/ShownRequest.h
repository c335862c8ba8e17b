#pragma once

#include <cstdint>
#include <string>
#include <vector>

// What part of an opened graph to show: the exclude patterns, and either a depth to collapse to
// or the set of collapsed vertices.
struct ShownRequest {
    // Opens a large graph collapsed to its overview depth (OverviewDepth), a small one whole.
    static constexpr int kOverview = -2;
    // Nothing collapsed.
    static constexpr int kAll = -1;

    std::vector<std::string> patterns;
    // Patterns remembered from an earlier run rather than asked for now: one that matches the
    // root of the file being opened is passed over instead of refusing the file.
    bool passOverRootPatterns = false;
    // kOverview, kAll or the depth to collapse to; once resolved, the depth the collapsed set
    // came from, kAll when it hides nothing, or kCustom after collapsing by hand.
    int depth = kOverview;
    static constexpr int kCustom = -3;
    // When set, collapsed (original ids) is in force instead of depth.
    bool useCollapsed = false;
    std::vector<uint32_t> collapsed;
};
