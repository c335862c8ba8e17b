#pragma once

#include "OpenGLWidget.h"

#include <QCoreApplication>
#include <QTest>

// Waits until the surface has drawn a frame that shows every change made so far; false after
// 20 s. Returns at once when nothing has changed since the last frame, as an idle surface draws
// no more frames.
inline bool waitForCurrentFrame(OpenGLWidget& surface) {
    // Posted events, a resize or a queued slot, may change what the frame is to show.
    QCoreApplication::processEvents();
    return QTest::qWaitFor([&] { return surface.showsCurrentState(); }, 20000);
}
