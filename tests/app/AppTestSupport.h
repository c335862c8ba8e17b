#pragma once
// What the application tests share: the data folder, waiting for a frame, input sent straight to a
// widget, and the check that every control shows the value in force in the render states.
#include "ColorChooser.h"
#include "ControlBindings.h"
#include "MainWindow.h"
#include "OpenGLWidget.h"
#include "RenderStates.h"

#include <QApplication>
#include <QTest>

#include <functional>
#include <initializer_list>
#include <memory>
#include <utility>

inline const QString kData = QStringLiteral(RAMIFLEX_SOURCE_DIR "/data/");
inline const QString kCorpus = QStringLiteral(RAMIFLEX_SOURCE_DIR "/fuzz/corpus/");

// Waits until the surface has drawn a frame that shows every change made so far; false after
// 20 s. Returns at once when nothing has changed, as an idle surface draws no more frames.
inline bool waitForCurrentFrame(OpenGLWidget& surface) {
    QCoreApplication::processEvents();  // a posted resize or queued slot may change the frame
    return QTest::qWaitFor([&] { return surface.showsCurrentState(); }, 20000);
}

// Input goes straight to the widget: QTest's helpers spin the event loop after every event, which
// would draw frames between the events of one gesture.
inline void sendMouse(QWidget* widget, QEvent::Type type, QPointF at, Qt::MouseButton button,
                      Qt::MouseButtons held, Qt::KeyboardModifiers modifiers = {}) {
    QMouseEvent event(type, at, widget->mapToGlobal(at), button, held, modifiers);
    QApplication::sendEvent(widget, &event);
}

// A press at the first point, a move to each later one and the release at the last.
inline void sendDrag(QWidget* widget, std::initializer_list<QPointF> path, Qt::MouseButtons buttons,
                     Qt::KeyboardModifiers modifiers = {}) {
    const Qt::MouseButton first = buttons & Qt::LeftButton    ? Qt::LeftButton
                                  : buttons & Qt::RightButton ? Qt::RightButton
                                                              : Qt::MiddleButton;
    sendMouse(widget, QEvent::MouseButtonPress, *path.begin(), first, buttons, modifiers);
    for (auto at = path.begin() + 1; at != path.end(); ++at)
        sendMouse(widget, QEvent::MouseMove, *at, Qt::NoButton, buttons, modifiers);
    sendMouse(widget, QEvent::MouseButtonRelease, *(path.end() - 1), first,
              buttons & ~Qt::MouseButtons(first), modifiers);
}

inline void sendClick(QWidget* widget, QPointF at) { sendDrag(widget, {at}, Qt::LeftButton); }

inline void sendWheel(QWidget* widget, QPointF at, int angle) {
    QWheelEvent event(at, widget->mapToGlobal(at), QPoint(), QPoint(0, angle), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(widget, &event);
}

inline void sendKey(QWidget* widget, int key, Qt::KeyboardModifiers modifiers = {}) {
    for (const QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
        QKeyEvent event(type, key, modifiers);
        QApplication::sendEvent(widget, &event);
    }
}

// Every control whose value disagrees with the render states, by object name: a list of its own,
// beside the panel's table of bindings. The switches add and subtract bits on each change, so a
// missed or doubled signal leaves them apart for good.
inline QStringList disagreements(const MainWindow& w) {
    const RenderStates& s = g_renderStates;
    const int view = s.viewType;
    const bool treemap = view == 2 || view == 3;
    auto rgb = [](const float* c) { return int(QColor::fromRgbF(c[0], c[1], c[2]).rgba()); };
    // clang-format off
    const std::pair<const QWidget*, int> shown[] = {
        {w.rootedTreeButton, view == 0}, {w.balloonTreeButton, view == 1},
        {w.treemapButton, treemap}, {w.radialTreeButton, view == 4},
        {w.sliceAndDiceButton, s.stripTreemap == 0}, {w.stripsButton, s.stripTreemap == 1},
        {w.mode3DBox, s.mode3D}, {w.cushionBox, s.cushion}, {w.blendingGroup, s.blending},
        {w.drawVerticesBox, s.drawMask & 1}, {w.drawHierarchyBox, (s.drawMask >> 1) & 1},
        {w.drawRelationsBox, (s.drawMask >> 2) & 1}, {w.drawGridBox, (s.drawMask >> 3) & 1},
        {w.standardBlendButton, s.blendMethod == 0}, {w.minMaxBlendButton, s.blendMethod == 1},
        {w.standardMinMaxBlendButton, s.blendMethod == 2},
        {w.averageBlendButton, s.blendMethod == 3}, {w.summedBlendButton, s.blendMethod == 4},
        {w.lightingGroup, s.lighting}, {w.pointLightButton, s.lightType == 0},
        {w.conicLightButton, s.lightType == 1}, {w.spotLightButton, s.lightType == 2},
        {w.shadowGroup, s.shadow}, {w.vertexShadowBox, s.shadowMask & 1},
        {w.hierarchyShadowBox, (s.shadowMask >> 1) & 1},
        {w.relationShadowBox, (s.shadowMask >> 2) & 1}, {w.gridShadowBox, (s.shadowMask >> 3) & 1},
        {w.betaSlider, qRound(s.beta * 1000)}, {w.rotateXSlider, s.rotationX},
        {w.rotateYSlider, s.rotationY}, {w.rotateZSlider, s.rotationZ}, {w.scaleSlider, s.scale},
        {w.lightRadiusSlider, s.lightRadius}, {w.lightAttenuationSlider, s.lightAttenuation},
        {w.relationAlphaSlider, qRound(s.relationEndColor[3] * 100)},
        {w.vertexColorBox, rgb(s.vertexColor)}, {w.hierarchyColorBox, rgb(s.hierarchyColor)},
        {w.relationStartColorBox, rgb(s.relationStartColor)},
        {w.relationEndColorBox, rgb(s.relationEndColor)},
        {w.selectionColorBox, rgb(s.selectionColor)},
        {w.findChild<const QWidget*>("outgoingColorBox"), rgb(s.outgoingEdgeColor)},
        {w.findChild<const QWidget*>("incomingColorBox"), rgb(s.incomingEdgeColor)}};
    // clang-format on
    QStringList wrong;
    for (const auto& [control, value] : shown)
        if (ControlBindings::controlValue(control) != value) wrong << control->objectName();
    if (s.relationStartColor[3] != s.relationEndColor[3]) wrong << "relationAlphaSlider";
    if (w.treemapGroup->isEnabled() != treemap) wrong << "treemapGroup";
    if (w.drawGridBox->isEnabled() != (view >= 1 && view <= 3)) wrong << "drawGridBox";
    return wrong;
}
