#pragma once
// What the application tests share: the data folder, waiting for a frame, input sent straight to a
// widget, and the check that every control shows the value in force in the render states.
#include "ColorChooser.h"
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
    for (auto at = path.begin() + 1; at != path.end(); ++at) {
        sendMouse(widget, QEvent::MouseMove, *at, Qt::NoButton, buttons, modifiers);
    }
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

// Every control whose value disagrees with the render states, by object name. The switches add
// and subtract bits on each change, so a missed or doubled signal leaves them apart for good.
inline QStringList disagreements(const MainWindow& w) {
    const RenderStates& s = g_renderStates;
    QStringList wrong;
    auto expect = [&](const QWidget* control, bool agrees) {
        if (!agrees) wrong << control->objectName();
    };
    auto oneOf = [&](std::initializer_list<const QAbstractButton*> buttons, int chosen) {
        int i = 0;
        for (const QAbstractButton* b : buttons) expect(b, b->isChecked() == (chosen == i++));
    };
    auto bits = [&](std::initializer_list<const QCheckBox*> boxes, int mask) {
        int bit = 1;
        for (const QCheckBox* b : boxes)
            expect(b, b->isChecked() == bool(mask & std::exchange(bit, bit * 2)));
    };
    const int view = s.viewType;
    const bool treemap = view == 2 || view == 3;
    expect(w.rootedTreeButton, w.rootedTreeButton->isChecked() == (view == 0));
    expect(w.balloonTreeButton, w.balloonTreeButton->isChecked() == (view == 1));
    expect(w.treemapButton, w.treemapButton->isChecked() == treemap);
    expect(w.radialTreeButton, w.radialTreeButton->isChecked() == (view == 4));
    oneOf({w.sliceAndDiceButton, w.stripsButton}, s.stripTreemap);
    expect(w.treemapGroup, w.treemapGroup->isEnabled() == treemap);
    expect(w.drawGridBox, w.drawGridBox->isEnabled() == (view >= 1 && view <= 3));
    expect(w.mode3DBox, w.mode3DBox->isChecked() == s.mode3D);
    bits({w.drawVerticesBox, w.drawHierarchyBox, w.drawRelationsBox, w.drawGridBox}, s.drawMask);
    expect(w.cushionBox, w.cushionBox->isChecked() == s.cushion);
    expect(w.blendingGroup, w.blendingGroup->isChecked() == s.blending);
    oneOf({w.standardBlendButton, w.minMaxBlendButton, w.standardMinMaxBlendButton,
           w.averageBlendButton, w.summedBlendButton},
          s.blendMethod);
    expect(w.lightingGroup, w.lightingGroup->isChecked() == s.lighting);
    oneOf({w.pointLightButton, w.conicLightButton, w.spotLightButton}, s.lightType);
    expect(w.shadowGroup, w.shadowGroup->isChecked() == s.shadow);
    bits({w.vertexShadowBox, w.hierarchyShadowBox, w.relationShadowBox, w.gridShadowBox},
         s.shadowMask);
    // clang-format off
    const std::pair<const QSlider*, int> sliders[] = {
        {w.betaSlider, qRound(s.beta * 1000)}, {w.rotateXSlider, s.rotationX},
        {w.rotateYSlider, s.rotationY}, {w.rotateZSlider, s.rotationZ},
        {w.scaleSlider, s.scale}, {w.lightRadiusSlider, s.lightRadius},
        {w.lightAttenuationSlider, s.lightAttenuation},
        {w.relationAlphaSlider, qRound(s.relationEndColor[3] * 100)}};
    for (const auto& [slider, value] : sliders) expect(slider, slider->value() == value);
    expect(w.relationAlphaSlider, s.relationStartColor[3] == s.relationEndColor[3]);
    const std::pair<const char*, const float*> colours[] = {
        {"vertexColorBox", s.vertexColor}, {"hierarchyColorBox", s.hierarchyColor},
        {"relationStartColorBox", s.relationStartColor}, {"relationEndColorBox", s.relationEndColor},
        {"selectionColorBox", s.selectionColor}, {"outgoingColorBox", s.outgoingEdgeColor},
        {"incomingColorBox", s.incomingEdgeColor}};
    // clang-format on
    for (const auto& [name, rgba] : colours) {
        const auto* box = w.findChild<const ColorChooser*>(name);
        expect(box, box->color() == QColor::fromRgbF(rgba[0], rgba[1], rgba[2]));
    }
    return wrong;
}
