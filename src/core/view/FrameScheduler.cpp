#include "FrameScheduler.h"

FrameScheduler::Frame FrameScheduler::beginFrame(bool lastFrameComplete) {
    // Nothing changed since the last frame, which is not whole yet: its next part.
    const bool resume = m_changesDrawn == m_changes && !m_drafting && !lastFrameComplete;
    m_changesDrawn = m_changes;
    ++m_framesDrawn;
    if (resume) return Frame::NextPart;
    ++m_framesBegun;
    return m_drafting ? Frame::Draft : Frame::Full;
}
