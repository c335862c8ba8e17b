// The drawing surface under real input: a table of mouse gestures against the camera change they
// cause, clicks that pick what is under the pointer, the keys that frame the view again, and
// framing on view switches and resizes. Run also under QT_SCALE_FACTOR=2, where the widget's
// pixels and the framebuffer's differ.
#include "CameraFraming.h"
#include "FoundVertex.h"
#include "GraphStore.h"
#include "CurrentFrame.h"
#include "MainWindow.h"
#include "RenderImplementation.h"
#include "RenderStates.h"
#include "View.h"

#include <QSignalSpy>
#include <QtTest>

#include <cmath>
#include <functional>
#include <memory>

namespace {

const QString kData = QStringLiteral(RAMIFLEX_SOURCE_DIR "/data/");
// The surface's size in widget pixels during these tests; not the 4:3 of the default.
const QSize kSurface(800, 480);

struct Snapshot {
    float distance, horizontal, vertical, orthoHeight;
    Vector3 centre, orthoEye;
    Matrix4 perspectiveView, orthoView;
};

Snapshot snapshot(const OpenGLWidget& surface) {
    const CameraControl& control = surface.cameraControl();
    return {control.distance(),
            control.horizontal(),
            control.vertical(),
            surface.orthoCamera()->height,
            control.centre(),
            surface.orthoCamera()->position(),
            surface.perspectiveCamera()->view,
            surface.orthoCamera()->view};
}

Vector3 project(const Camera& camera, const Vector3& p) {
    const Vector4 clip =
        math::transform(camera.projection, math::transform(camera.view, {p[0], p[1], p[2], 1}));
    return {clip[0] / clip[3], clip[1] / clip[3], clip[2] / clip[3]};
}

float distanceBetween(const Vector3& a, const Vector3& b) {
    return std::sqrt((a[0] - b[0]) * (a[0] - b[0]) + (a[1] - b[1]) * (a[1] - b[1]) +
                     (a[2] - b[2]) * (a[2] - b[2]));
}

}  // namespace

class NavigationTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        g_renderStates = RenderStates();
        m_window = std::make_unique<MainWindow>();
        surface().setMinimumSize(kSurface);
        surface().setMaximumSize(kSurface);
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
        QString error;
        QVERIFY2(m_window->openFile(kData + "ramiflex.xml", &error), qPrintable(error));
        QVERIFY(waitForCurrentFrame());
    }

    void cleanup() { m_window.reset(); }

    void surfaceFollowsItsSizeInDevicePixels() {
        OpenGLWidget& s = surface();
        QCOMPARE(s.size(), kSurface);
        const double ratio = s.devicePixelRatioF();
        // Under a scaled display the widget's pixels are not the framebuffer's.
        if (qEnvironmentVariableIsSet("QT_SCALE_FACTOR")) {
            QCOMPARE(ratio, qEnvironmentVariable("QT_SCALE_FACTOR").toDouble());
        }
        const int width = static_cast<int>(std::lround(kSurface.width() * ratio));
        const int height = static_cast<int>(std::lround(kSurface.height() * ratio));
        QCOMPARE(s.viewportWidth(), width);
        QCOMPARE(s.viewportHeight(), height);
        QCOMPARE(s.renderer()->surfaceWidth(), width);
        QCOMPARE(s.renderer()->surfaceHeight(), height);
        QCOMPARE(s.perspectiveCamera()->aspect, float(width) / float(height));
        QVERIFY(std::fabs(s.orthoCamera()->width / s.orthoCamera()->height -
                          float(width) / float(height)) < 1e-5f);
        // The picture fills the surface: what is drawn spans most of it both ways, where a
        // picture of the wrong size would fill only its lower left part.
        const QImage shot = s.grabFramebuffer();
        QCOMPARE(shot.size(), QSize(width, height));
        QRect drawn;
        for (int y = 0; y < shot.height(); ++y) {
            for (int x = 0; x < shot.width(); ++x) {
                if (qGray(shot.pixel(x, y)) > 40) drawn |= QRect(x, y, 1, 1);
            }
        }
        QVERIFY2(drawn.width() > 0.6 * width && drawn.height() > 0.6 * height,
                 qPrintable(QString("drawn %1 x %2 of %3 x %4")
                                .arg(drawn.width())
                                .arg(drawn.height())
                                .arg(width)
                                .arg(height)));
        // The framed box is the renderer's too.
        QVERIFY(!s.framedBounds().empty());
        QCOMPARE(s.renderer()->sceneBounds().min, s.framedBounds().min);
        QCOMPARE(s.renderer()->sceneBounds().max, s.framedBounds().max);

        // An untouched picture is framed again for a new shape; a moved one keeps its zoom.
        const QSize tall(420, 640);
        for (const bool moved : {false, true}) {
            if (moved) wheel(QPointF(100, 100), 240);
            const float distance = s.distance();
            const QSize size = moved ? kSurface : tall;
            s.setMinimumSize(size);
            s.setMaximumSize(size);
            QVERIFY(waitForCurrentFrame());
            QCOMPARE(s.size(), size);
            QCOMPARE(s.perspectiveCamera()->aspect, float(size.width()) / float(size.height()));
            if (moved) {
                QCOMPARE(s.distance(), distance);
                continue;
            }
            const SceneBounds& box = s.framedBounds();
            float low = 2, high = -2;
            for (int i = 0; i < 8; ++i) {
                const Vector3 p =
                    project(*s.perspectiveCamera(),
                            {i & 1 ? box.max[0] : box.min[0], i & 2 ? box.max[1] : box.min[1],
                             i & 4 ? box.max[2] : box.min[2]});
                QVERIFY(std::fabs(p[0]) <= 1 && std::fabs(p[1]) <= 1);
                low = std::min(low, p[0]);
                high = std::max(high, p[0]);
            }
            // The narrow picture is filled across.
            QVERIFY(high - low > 1.2f);
        }
    }

    // Each gesture against what it changes; everything not named stays as it was.
    void gesturesMoveTheCameraTheyName() {
        enum Gesture { Wheel, Drag };
        // The change a gesture makes; a field left alone means no change.
        struct Effect {
            float distanceFactor = 1, distanceAdd = 0, horizontal = 0, vertical = 0;
            float heightFactor = 1, heightAdd = 0;
            bool centreMoves = false, orthoEyeMoves = false;
        };
        const auto zoom3D = [](float factor, float add) { return Effect{factor, add}; };
        const auto orbit = [](float h, float v) { return Effect{1, 0, h, v}; };
        const auto zoom2D = [](float factor, float add) { return Effect{1, 0, 0, 0, factor, add}; };
        const Effect pan3D{1, 0, 0, 0, 1, 0, true, false}, pan2D{1, 0, 0, 0, 1, 0, false, true};
        const Effect none;
        struct Case {
            const char* name;
            bool mode3D;
            Gesture gesture;
            Qt::MouseButtons buttons;
            Qt::KeyboardModifiers modifiers;
            QPoint move;  // drag: pointer move in widget pixels; wheel: angle delta in y
            Effect effect;
        };
        const float in = 0.85f;  // one notch towards the scene
        const float altZoom = 2 * std::sqrt(0.25f * 0.25f + 0.25f * 0.25f);
        const Qt::KeyboardModifiers alt = Qt::AltModifier;
        const Qt::MouseButtons left = Qt::LeftButton, right = Qt::RightButton;
        // clang-format off
        const Case cases[] = {
            {"wheel away 3D",    true,  Wheel, {}, {}, {0, 120},    zoom3D(in, 0)},
            {"wheel back 3D",    true,  Wheel, {}, {}, {0, -240},   zoom3D(1 / (in * in), 0)},
            {"wheel away 2D",    false, Wheel, {}, {}, {0, 120},    zoom2D(in, 0)},
            {"right drag 3D",    true,  Drag, right, {}, {128, 96}, orbit(0.25f, 0.25f)},
            {"right drag 2D",    false, Drag, right, {}, {128, 96}, none},
            {"middle drag 3D",   true,  Drag, Qt::MiddleButton, {}, {120, -60}, pan3D},
            {"middle drag 2D",   false, Drag, Qt::MiddleButton, {}, {-80, 100}, pan2D},
            {"left drag picks",  true,  Drag, left, {}, {128, 96},   none},
            {"ALT left drag 3D", true,  Drag, left, alt, {128, 96},  orbit(0.25f, 0.25f)},
            {"ALT left drag 2D", false, Drag, left, alt, {128, -96}, pan2D},
            {"ALT both buttons", true,  Drag, left | right, alt, {128, 96}, none},
            {"ALT right drag 3D", true, Drag, right, alt, {128, 96}, zoom3D(1, altZoom)},
            {"ALT right drag 2D", false, Drag, right, alt, {-128, -96}, zoom2D(1, -altZoom)},
            // ALT with Shift is no ALT: the right drag orbits.
            {"ALT shift right",  true,  Drag, right, alt | Qt::ShiftModifier, {128, 96},
             orbit(0.25f, 0.25f)},
        };
        // clang-format on
        for (const Case& c : cases) {
            setMode3D(c.mode3D);
            QVERIFY(waitForCurrentFrame());
            surface().fitView();
            const Snapshot before = snapshot(surface());
            const Camera camera =
                c.mode3D ? *surface().perspectiveCamera() : *surface().orthoCamera();
            const QPointF start(300, 200);
            if (c.gesture == Wheel) {
                wheel(start, c.move.y());
            } else {
                drag(start, start + c.move, c.buttons, c.modifiers);
            }
            const Snapshot after = snapshot(surface());
            const QByteArray name = c.name;
            QVERIFY2(std::fabs(after.distance - before.distance * c.effect.distanceFactor -
                               c.effect.distanceAdd) < 1e-4f * before.distance,
                     name);
            QVERIFY2(std::fabs(after.horizontal - before.horizontal - c.effect.horizontal) < 1e-6f,
                     name);
            QVERIFY2(std::fabs(after.vertical - before.vertical - c.effect.vertical) < 1e-6f, name);
            QVERIFY2(std::fabs(after.orthoHeight - before.orthoHeight * c.effect.heightFactor -
                               c.effect.heightAdd) < 1e-5f,
                     name);
            QVERIFY2((distanceBetween(after.centre, before.centre) > 1e-4f) == c.effect.centreMoves,
                     name);
            QVERIFY2((distanceBetween(after.orthoEye, before.orthoEye) > 1e-4f) ==
                         c.effect.orthoEyeMoves,
                     name);
            if (c.effect.centreMoves || c.effect.orthoEyeMoves) {
                // A pan carries the picture with the pointer: the point that was in the middle
                // is now where the pointer's move took it.
                const Vector3 middle = c.effect.centreMoves ? before.centre : [&] {
                    const Vector3 f = camera.forward();
                    const float depth = 3.0f;
                    return Vector3{before.orthoEye[0] + f[0] * depth,
                                   before.orthoEye[1] + f[1] * depth,
                                   before.orthoEye[2] + f[2] * depth};
                }();
                const Camera& moved =
                    c.mode3D ? *surface().perspectiveCamera() : *surface().orthoCamera();
                const Vector3 at = project(moved, middle);
                // The ALT pan keeps its drag deltas, which follow the pointer on a 1024 x 768
                // surface; the middle drag follows it at any size.
                const bool altPan = c.modifiers == alt;
                const float x = altPan ? CameraControl::deltaX(c.move.x())
                                       : 2.0f * c.move.x() / kSurface.width();
                const float y = altPan ? CameraControl::deltaY(c.move.y())
                                       : 2.0f * c.move.y() / kSurface.height();
                QVERIFY2(std::fabs(at[0] - x) < 1e-3f, name);
                QVERIFY2(std::fabs(at[1] + y) < 1e-3f, name);
            }
        }
    }

    // A press and release on a vertex without a drag selects it, in 3D and 2D, in the view's
    // framed picture; the click is where the vertex is drawn, in widget pixels.
    void plainClickPicksTheVertexUnderThePointer() {
        m_window->rb_rootedtree->click();
        for (const bool mode3D : {true, false}) {
            setMode3D(mode3D);
            // A file opened afresh has nothing selected.
            QVERIFY(m_window->openFile(kData + "ramiflex.xml"));
            QVERIFY(waitForCurrentFrame());
            const View* rooted = m_window->view(0);
            QVERIFY(rooted);
            const uint32_t root = g_graph->getRoot()->getId();
            const LayoutRecord& r = rooted->records().at(root);
            const Camera& camera =
                mode3D ? *surface().perspectiveCamera() : *surface().orthoCamera();
            const Vector3 ndc = project(camera, {r.x, 1 - r.y, r.z});
            const QPointF at((ndc[0] + 1) / 2 * kSurface.width(),
                             (1 - ndc[1]) / 2 * kSurface.height());
            QVERIFY(QRectF(QPointF(0, 0), QSizeF(kSurface)).contains(at));
            // A drag over the empty corner released over the vertex is no click.
            mouse(QEvent::MouseButtonPress, QPointF(2, 2), Qt::LeftButton, Qt::LeftButton);
            mouse(QEvent::MouseMove, QPointF(40, 2), Qt::NoButton, Qt::LeftButton);
            mouse(QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
            QCOMPARE(surface().renderer()->selection().m_type, int(Selection::NOTHING));
            click(at);
            const Selection& picked = surface().renderer()->selection();
            QCOMPARE(picked.m_type, int(Selection::VERTEX));
            QCOMPARE(picked.m_vertex->getId(), root);
        }
    }

    // Home and F frame the view again after any move; ALT+F still lowers the light instead.
    void homeAndFFrameTheViewAgain() {
        for (const int key : {int(Qt::Key_Home), int(Qt::Key_F)}) {
            for (const bool mode3D : {true, false}) {
                setMode3D(mode3D);
                QVERIFY(waitForCurrentFrame());
                surface().fitView();
                const Snapshot framed = snapshot(surface());
                drag(QPointF(300, 200), QPointF(420, 260), Qt::RightButton, {});
                drag(QPointF(300, 200), QPointF(350, 260), Qt::MiddleButton, {});
                wheel(QPointF(300, 200), 360);
                QVERIFY(snapshot(surface()).orthoView != framed.orthoView ||
                        snapshot(surface()).perspectiveView != framed.perspectiveView);
                const float lightY = surface().light()->m_position[1];
                keyPress(key, Qt::NoModifier);
                const Snapshot again = snapshot(surface());
                QCOMPARE(again.perspectiveView, framed.perspectiveView);
                QCOMPARE(again.orthoView, framed.orthoView);
                QCOMPARE(again.orthoHeight, framed.orthoHeight);
                QCOMPARE(surface().light()->m_position[1], lightY);
            }
        }
        setMode3D(true);
        QVERIFY(waitForCurrentFrame());
        surface().fitView();
        const Snapshot framed = snapshot(surface());
        const float lightY = surface().light()->m_position[1];
        wheel(QPointF(300, 200), 120);
        keyPress(Qt::Key_F, Qt::AltModifier);
        QCOMPARE(surface().light()->m_position[1], float(lightY - double(0.05f)));
        QVERIFY(snapshot(surface()).distance < framed.distance);
    }

    // Switching the view or the mode frames the new picture with its own start direction;
    // lookAtPoint centres the camera on a point without zooming.
    void switchesFrameTheViewAndLookAtPointCentres() {
        drag(QPointF(300, 200), QPointF(500, 300), Qt::RightButton, {});
        const struct {
            QRadioButton* button;
            int viewType;
        } views[] = {{m_window->rb_rootedtree, 0},
                     {m_window->radioButton_11, 4},
                     {m_window->rb_ballontree, 1}};
        for (const auto& v : views) {
            v.button->click();
            QVERIFY(waitForCurrentFrame());
            QCOMPARE(g_renderStates.viewType, v.viewType);
            const SceneBounds& box = surface().framedBounds();
            const CameraControl& control = surface().cameraControl();
            float horizontal, vertical;
            CameraFraming::startDirection(v.viewType, horizontal, vertical);
            QCOMPARE(control.horizontal(), horizontal);
            QCOMPARE(control.vertical(), vertical);
            QCOMPARE(control.centre()[0], box.centre(0));
            QCOMPARE(control.centre()[1], box.centre(1));
            // The light stands above the new view's box.
            QVERIFY(surface().light()->m_position[1] > box.max[1]);
        }
        // The 2D switch frames too: a 2D pan, then 3D and back, and the 2D camera is framed.
        setMode3D(false);
        QVERIFY(waitForCurrentFrame());
        const Matrix4 framed2D = surface().orthoCamera()->view;
        drag(QPointF(300, 200), QPointF(350, 260), Qt::MiddleButton, {});
        setMode3D(true);
        QVERIFY(waitForCurrentFrame());
        setMode3D(false);
        QVERIFY(waitForCurrentFrame());
        QCOMPARE(surface().orthoCamera()->view, framed2D);

        const float distance = surface().distance();
        const float height = surface().orthoCamera()->height;
        const Vector3 point{surface().framedBounds().max[0], surface().framedBounds().min[1],
                            surface().framedBounds().max[2]};
        surface().lookAtPoint(point);
        QCOMPARE(surface().cameraControl().centre(), point);
        QCOMPARE(surface().distance(), distance);
        QCOMPARE(surface().orthoCamera()->height, height);
        const Vector3 inMiddle = project(*surface().orthoCamera(), point);
        QVERIFY(std::fabs(inMiddle[0]) < 1e-4f && std::fabs(inMiddle[1]) < 1e-4f);
    }

    // Turning or scaling the scene keeps the cameras where they are, but the clipping planes
    // and the renderer's box follow, so a scene grown six times is not cut off.
    void sceneTransformMovesThePlanesNotTheCameras() {
        for (const bool mode3D : {true, false}) {
            setMode3D(mode3D);
            QVERIFY(waitForCurrentFrame());
            surface().fitView();
            const SceneBounds before = surface().framedBounds();
            const Snapshot cameras = snapshot(surface());
            g_renderStates.scale = 100;
            g_renderStates.rotationY = 30;
            QVERIFY(waitForCurrentFrame());
            const SceneBounds& after = surface().framedBounds();
            QVERIFY(after.extent(1) > 5.9f * before.extent(1));
            QCOMPARE(surface().renderer()->sceneBounds().min, after.min);
            QCOMPARE(snapshot(surface()).perspectiveView, cameras.perspectiveView);
            QCOMPARE(snapshot(surface()).orthoView, cameras.orthoView);
            const Camera& camera =
                mode3D ? *surface().perspectiveCamera() : *surface().orthoCamera();
            for (int i = 0; i < 8; ++i) {
                const Vector3 corner{i & 1 ? after.max[0] : after.min[0],
                                     i & 2 ? after.max[1] : after.min[1],
                                     i & 4 ? after.max[2] : after.min[2]};
                const Vector4 eye =
                    math::transform(camera.view, {corner[0], corner[1], corner[2], 1});
                QVERIFY(-eye[2] <= camera.zFar);
                if (!mode3D || -eye[2] > camera.zFar / 1000) QVERIFY(-eye[2] >= camera.zNear);
            }
            g_renderStates.scale = 50;
            g_renderStates.rotationY = 0;
            QVERIFY(waitForCurrentFrame());
        }
    }

    // Frames are drawn on demand: none while nothing changes, one after each kind of change.
    void aFrameFollowsEachChangeAndNoneIsDrawnWhileIdle() {
        OpenGLWidget& s = surface();
        MainWindow& w = *m_window;
        const QSize smaller(640, 400);
        const std::pair<const char*, std::function<void()>> changes[] = {
            {"grid box", [&] { w.checkBox_8->click(); }},
            {"beta slider", [&] { w.horizontalSlider_7->setValue(200); }},
            {"render state written directly", [&] { g_renderStates.relationStartColor[0] = 0.5f; }},
            {"wheel zoom", [&] { wheel(QPointF(100, 100), 120); }},
            {"orbit",
             [&] {
                 drag({100, 100}, {160, 130}, Qt::RightButton, {});
             }},
            {"pan",
             [&] {
                 drag({100, 100}, {160, 130}, Qt::MiddleButton, {});
             }},
            {"light key", [&] { keyPress(Qt::Key_W, Qt::AltModifier); }},
            {"pick", [&] { click(QPointF(400, 240)); }},
            {"fit view", [&] { keyPress(Qt::Key_Home, Qt::NoModifier); }},
            {"found vertex",
             [&] { QVERIFY(showFoundVertex(s, g_graph->vertices().begin()->first)); }},
            {"size",
             [&] {
                 s.setMinimumSize(smaller);
                 s.setMaximumSize(smaller);
                 QTRY_COMPARE(s.size(), smaller);
             }},
            {"graph", [&] { QVERIFY(w.openFile(kData + "tiny.rsf")); }},
        };
        for (const auto& [name, change] : changes) {
            QVERIFY2(waitForCurrentFrame(), name);
            const quint64 before = s.framesDrawn();
            QTest::qWait(300);
            QVERIFY2(s.framesDrawn() == before, name);
            change();
            QVERIFY2(waitForCurrentFrame(), name);
            QVERIFY2(s.framesDrawn() > before, name);
        }
        // A control that changes nothing draws nothing.
        QVERIFY(w.rb_ballontree->isChecked());
        const quint64 before = s.framesDrawn();
        w.rb_ballontree->click();
        QTest::qWait(300);
        QVERIFY(s.showsCurrentState());
        QCOMPARE(s.framesDrawn(), before);
    }

    // While input moves the picture, frames are drafts: coarse spheres and no shadow pass. Once
    // input rests the full frame follows, the same to the pixel as one drawn without the move.
    void movesDrawDraftsThenTheFullFrame() {
        OpenGLWidget& s = surface();
        const RenderImplementation& renderer = *s.renderer();
        // The overlay's frame time differs from frame to frame.
        g_renderStates.overlay = false;
        QVERIFY(g_renderStates.shadow);
        QSlider* rotation = m_window->horizontalSlider;
        const std::pair<const char*, std::function<void()>> moves[] = {
            {"orbit",
             [&] {
                 drag({300, 200}, {420, 260}, Qt::RightButton, {});
             }},
            {"pan",
             [&] {
                 drag({300, 200}, {350, 260}, Qt::MiddleButton, {});
             }},
            {"wheel",
             [&] {
                 wheel({300, 200}, 240);
             }},
            {"ALT zoom",
             [&] {
                 drag({300, 200}, {380, 250}, Qt::RightButton, Qt::AltModifier);
             }},
            {"light key", [&] { keyPress(Qt::Key_R, Qt::AltModifier); }},
            {"slider held",
             [&] {
                 rotation->setSliderDown(true);
                 rotation->setValue(rotation->value() + 40);
                 rotation->setValue(rotation->value() - 40);
                 rotation->setSliderDown(false);
             }},
        };
        for (const auto& [name, move] : moves) {
            keyPress(Qt::Key_Home, Qt::NoModifier);
            QVERIFY2(waitForCurrentFrame(), name);
            const float lightY = s.light()->m_position[1];
            const QImage full = s.grabFramebuffer();
            const uint64_t shadowPasses = renderer.shadowPasses();
            move();
            QVERIFY2(s.drawsDrafts(), name);
            // Back where the picture was, still within the drag: a draft of the same picture.
            keyPress(Qt::Key_Home, Qt::NoModifier);
            s.light()->m_position[1] = lightY;
            const QImage draft = s.grabFramebuffer();
            QVERIFY2(renderer.shadowPasses() == shadowPasses, name);
            QVERIFY2(draft.size() == full.size() && draft != full, name);
            QVERIFY2(waitForCurrentFrame(), name);
            QVERIFY2(!s.drawsDrafts() && !renderer.draftFrames(), name);
            QVERIFY2(renderer.shadowPasses() > shadowPasses, name);
            QVERIFY2(s.grabFramebuffer() == full, name);
        }
        // Nothing moved while at rest, so no drafts.
        QTest::qWait(2 * OpenGLWidget::kRestMilliseconds);
        QVERIFY(!s.drawsDrafts());
    }

private:
    OpenGLWidget& surface() { return *m_window->openGLWidget; }

    bool waitForCurrentFrame() { return ::waitForCurrentFrame(*m_window->openGLWidget); }

    void setMode3D(bool on) {
        if (m_window->checkBox->isChecked() != on) m_window->checkBox->click();
        QCOMPARE(g_renderStates.mode3D, on);
    }

    // Straight to the widget, so that no frame is drawn between the events of one gesture.
    void mouse(QEvent::Type type, QPointF at, Qt::MouseButton button, Qt::MouseButtons held,
               Qt::KeyboardModifiers modifiers = {}) {
        QMouseEvent event(type, at, surface().mapToGlobal(at), button, held, modifiers);
        QApplication::sendEvent(&surface(), &event);
    }

    void drag(QPointF from, QPointF to, Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers) {
        const Qt::MouseButton first = buttons & Qt::LeftButton    ? Qt::LeftButton
                                      : buttons & Qt::RightButton ? Qt::RightButton
                                                                  : Qt::MiddleButton;
        mouse(QEvent::MouseButtonPress, from, first, buttons, modifiers);
        mouse(QEvent::MouseMove, to, Qt::NoButton, buttons, modifiers);
        mouse(QEvent::MouseButtonRelease, to, first, buttons & ~Qt::MouseButtons(first), modifiers);
    }

    void click(QPointF at) {
        mouse(QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
        mouse(QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
    }

    void wheel(QPointF at, int angle) {
        QWheelEvent event(at, surface().mapToGlobal(at), QPoint(), QPoint(0, angle), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(&surface(), &event);
    }

    void keyPress(int key, Qt::KeyboardModifiers modifiers) {
        QKeyEvent press(QEvent::KeyPress, key, modifiers);
        QApplication::sendEvent(&surface(), &press);
    }

    std::unique_ptr<MainWindow> m_window;
};

QTEST_MAIN(NavigationTest)
#include "NavigationTest.moc"
