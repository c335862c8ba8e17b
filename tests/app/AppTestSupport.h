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
    expect(w.rb_rootedtree, w.rb_rootedtree->isChecked() == (view == 0));
    expect(w.rb_ballontree, w.rb_ballontree->isChecked() == (view == 1));
    expect(w.rb_treemap, w.rb_treemap->isChecked() == treemap);
    expect(w.radioButton_11, w.radioButton_11->isChecked() == (view == 4));
    oneOf({w.radioButton_9, w.radioButton_10}, s.stripTreemap);
    expect(w.groupBox_7, w.groupBox_7->isEnabled() == treemap);
    expect(w.checkBox_8, w.checkBox_8->isEnabled() == (view >= 1 && view <= 3));
    expect(w.checkBox, w.checkBox->isChecked() == s.mode3D);
    bits({w.checkBox_2, w.checkBox_6, w.checkBox_7, w.checkBox_8}, s.drawMask);
    expect(w.checkBox_9, w.checkBox_9->isChecked() == s.cushion);
    expect(w.groupBox_4, w.groupBox_4->isChecked() == s.blending);
    oneOf({w.radioButton, w.radioButton_2, w.radioButton_6, w.radioButton_7, w.radioButton_8},
          s.blendMethod);
    expect(w.groupBox_2, w.groupBox_2->isChecked() == s.lighting);
    oneOf({w.radioButton_5, w.radioButton_4, w.radioButton_3}, s.lightType);
    expect(w.groupBox, w.groupBox->isChecked() == s.shadow);
    bits({w.checkBox_3, w.checkBox_4, w.checkBox_5, w.checkBox_10}, s.shadowMask);
    // clang-format off
    const std::pair<const QSlider*, int> sliders[] = {
        {w.horizontalSlider_7, qRound(s.beta * 1000)}, {w.horizontalSlider, s.rotationX},
        {w.horizontalSlider_2, s.rotationY}, {w.horizontalSlider_3, s.rotationZ},
        {w.horizontalSlider_4, s.scale}, {w.horizontalSlider_5, s.lightRadius},
        {w.horizontalSlider_6, s.lightAttenuation},
        {w.horizontalSlider_8, qRound(s.relationEndColor[3] * 100)}};
    for (const auto& [slider, value] : sliders) expect(slider, slider->value() == value);
    expect(w.horizontalSlider_8, s.relationStartColor[3] == s.relationEndColor[3]);
    const std::pair<const char*, const float*> colours[] = {
        {"cb_color", s.vertexColor}, {"cb_hierarchyColor", s.hierarchyColor},
        {"cb_relationStartColor", s.relationStartColor}, {"cb_relationEndColor", s.relationEndColor},
        {"cb_selectionColor", s.selectionColor}, {"cb_outgoingEdgeColor", s.outgoingEdgeColor},
        {"cb_incomingEdgeColor", s.incomingEdgeColor}};
    // clang-format on
    for (const auto& [name, rgba] : colours) {
        const auto* box = w.findChild<const ColorChooser*>(name);
        expect(box, box->color() == QColor::fromRgbF(rgba[0], rgba[1], rgba[2]));
    }
    return wrong;
}
