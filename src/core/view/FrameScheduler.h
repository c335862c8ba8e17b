#pragma once

#include <cstdint>

// When the drawing surface draws, and what: a frame only when something it shows has changed;
// drafts while input moves the picture, and the full frame once input has rested; a large full
// frame in parts, each drawn in its own paint so that the window answers between them. Free of
// the toolkit and of GL: the surface tells it what happened and asks it what to draw.
class FrameScheduler {
public:
    // How long input must rest before the full frame follows the drafts.
    static constexpr int kRestMilliseconds = 150;
    // Longest the curves of one part of a large frame may take.
    static constexpr int kFramePartMilliseconds = 80;

    enum class Frame {
        Full,      // the whole picture again
        Draft,     // the picture again, cheaply: input is moving it
        NextPart,  // nothing changed: the next part of the frame not yet whole
    };

    // Something the picture shows has changed.
    void requestFrame() { ++m_changes; }
    // Input moved the picture: frames are drafts until inputRested.
    void inputMoved() {
        m_drafting = true;
        requestFrame();
    }
    // Input has rested for kRestMilliseconds: the full frame follows.
    void inputRested() {
        m_drafting = false;
        requestFrame();
    }
    bool drawsDrafts() const { return m_drafting; }

    // A paint begins; lastFrameComplete: whether the frame drawn last is whole. Every change
    // asked for until now is in the frame it names.
    Frame beginFrame(bool lastFrameComplete);
    // Whether the last frame drawn shows every change asked for, whole and not a draft.
    bool showsCurrentState(bool lastFrameComplete) const {
        return m_changesDrawn == m_changes && !m_drafting && lastFrameComplete;
    }
    uint64_t framesDrawn() const { return m_framesDrawn; }
    // Frames begun, each counted once however many parts it takes.
    uint64_t framesBegun() const { return m_framesBegun; }

private:
    uint64_t m_changes = 1;  // the first frame is owed from the start
    uint64_t m_changesDrawn = 0;
    uint64_t m_framesDrawn = 0;
    uint64_t m_framesBegun = 0;
    bool m_drafting = false;
};
