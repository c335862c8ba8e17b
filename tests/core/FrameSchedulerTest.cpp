// When the surface draws and what: sequences of events against the frames they lead to.
#include "FrameScheduler.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

struct Case {
    const char* events;  // r change, m input moves, s input rests; paints: F ends whole, f in parts
    const char* frames;  // per paint: F full, D draft, N next part
    bool showsCurrent;   // after the last event
};

// clang-format off
const Case kCases[] = {
    {"F",        "F",    true},   // the first frame is owed from the start
    {"",         "",     false},
    {"Fr",       "F",    false},  // a change not yet drawn
    {"FrF",      "FF",   true},
    {"FrrrF",    "FF",   true},   // changes meet in one frame
    {"FF",       "FF",   true},   // a paint the toolkit asks for draws the whole picture
    {"Fm",       "F",    false},  // moving: drafts, not the current state
    {"FmFmFsF",  "FDDF", true},   // drafts while moving, the full frame once input rests
    {"FmFs",     "FD",   false},  // rested, the full frame not yet drawn
    {"ffF",      "FNN",  true},   // a large frame in parts; parts draw nothing new
    {"ff",       "FN",   false},  // not whole yet
    {"frF",      "FF",   true},   // a change amid the parts starts the frame again
    {"fmf",      "FD",   false},  // a move amid the parts: a draft, no part
    {"fmfsF",    "FDF",  true},
};
// clang-format on

TEST(FrameSchedulerTest, EventSequencesGiveTheirFrames) {
    for (const Case& c : kCases) {
        FrameScheduler scheduler;
        std::string frames;
        bool complete = true;  // no frame left in parts before the first
        for (const char* e = c.events; *e; ++e) {
            if (*e == 'r') scheduler.requestFrame();
            if (*e == 'm') scheduler.inputMoved();
            if (*e == 's') scheduler.inputRested();
            if (*e != 'F' && *e != 'f') continue;
            frames += "FDN"[int(scheduler.beginFrame(complete))];  // Full, Draft, Next
            complete = *e == 'F';
        }
        EXPECT_EQ(frames, c.frames) << c.events;
        EXPECT_EQ(scheduler.showsCurrentState(complete), c.showsCurrent) << c.events;
        // Drafts from a move until the next rest.
        const std::string events = c.events;
        const size_t last = events.find_last_of("ms");
        EXPECT_EQ(scheduler.drawsDrafts(), last != std::string::npos && events[last] == 'm')
            << c.events;
        EXPECT_EQ(scheduler.framesDrawn(), frames.size()) << c.events;
        const size_t parts = size_t(std::count(frames.begin(), frames.end(), 'N'));
        EXPECT_EQ(scheduler.framesBegun(), frames.size() - parts) << c.events;
    }
}

}  // namespace
