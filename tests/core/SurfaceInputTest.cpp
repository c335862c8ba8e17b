// Mouse, wheel and keys on the drawing surface: each gesture against the camera or light change
// and the actions it leads to; everything not named stays as it was.
#include "Cameras.h"
#include "SurfaceInput.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace {

using G = SurfaceInput::Gesture;
using Type = G::Type;
using Mods = SurfaceInput::Modifiers;
using Key = SurfaceInput::Key;
constexpr int L = SurfaceInput::Left, R = SurfaceInput::Right, M = SurfaceInput::Middle;

// A press of the first of buttons at (300, 200), a move by (dx, dy) and the release there.
std::vector<G> drag(int buttons, Mods mods, float dx, float dy) {
    const int first = buttons & L ? L : buttons & R ? R : M;
    return {{Type::Press, 300, 200, first, buttons, mods},
            {Type::Move, 300 + dx, 200 + dy, SurfaceInput::NoButton, buttons, mods},
            {Type::Release, 300 + dx, 200 + dy, first, buttons & ~first, mods}};
}
// A press and release at one point, with no move between.
std::vector<G> click(int button, Mods mods = Mods::None) {
    const std::vector<G> gestures = drag(button, mods, 0, 0);
    return {gestures[0], gestures[2]};
}
std::vector<G> wheel(double notches) { return {{Type::Wheel, 0, 0, 0, 0, Mods::None, notches}}; }
std::vector<G> key(Key k, Mods mods) { return {{Type::KeyPress, 0, 0, 0, 0, mods, 0, k}}; }
std::vector<G> doubleClick(int button, Mods mods = Mods::None) {
    return {{Type::DoubleClick, 300, 200, button, button, mods}};
}

struct Case {
    const char* name;
    bool mode3D;
    std::vector<G> gestures;
    // Changes: -1 less, 0 none, 1 more; orbit: the rotation factors change.
    int distance, orthoHeight;
    bool orbit, centreMoves, orthoEyeMoves;
    int lightAxis, lightSign;  // lightSign 0: the light stays
    // Actions, ORed over the gestures: pick, double-click, menu, fit, camera moved, drafts.
    const char* actions;
};

const Mods alt = Mods::AltOnly, other = Mods::Other, none = Mods::None;
// clang-format off
const Case kCases[] = {
    {"wheel away 3D",      true,  wheel(1),                    -1,  0, false, false, false, 0, 0, "cd"},
    {"wheel back 2D",      false, wheel(-2),                    0,  1, false, false, false, 0, 0, "cd"},
    {"wheel not turned",   true,  wheel(0),                     0,  0, false, false, false, 0, 0, ""},
    {"right drag 3D",      true,  drag(R, none, 128, 96),       0,  0, true,  false, false, 0, 0, "cd"},
    {"right drag 2D",      false, drag(R, none, 128, 96),       0,  0, false, false, false, 0, 0, "cd"},
    {"middle drag 3D",     true,  drag(M, none, 120, -60),      0,  0, false, true,  false, 0, 0, "cd"},
    {"middle drag 2D",     false, drag(M, none, -80, 100),      0,  0, false, false, true,  0, 0, "cd"},
    {"left drag picks",    true,  drag(L, none, 128, 96),       0,  0, false, false, false, 0, 0, "p"},
    {"ALT left drag 3D",   true,  drag(L, alt, 128, 96),        0,  0, true,  false, false, 0, 0, "cd"},
    {"ALT left drag 2D",   false, drag(L, alt, 128, -96),       0,  0, false, false, true,  0, 0, "cd"},
    {"ALT both buttons",   true,  drag(L | R, alt, 128, 96),    0,  0, false, false, false, 0, 0, ""},
    {"ALT right drag 3D",  true,  drag(R, alt, 128, 96),        1,  0, false, false, false, 0, 0, "cd"},
    {"ALT right drag 2D",  false, drag(R, alt, -128, -96),      0, -1, false, false, false, 0, 0, "cd"},
    {"ALT shift is no ALT",true,  drag(R, other, 128, 96),      0,  0, true,  false, false, 0, 0, "cd"},
    {"click picks",        true,  click(L),                     0,  0, false, false, false, 0, 0, "p"},
    {"shift click picks",  true,  click(L, other),              0,  0, false, false, false, 0, 0, "p"},
    {"ALT click",          true,  click(L, alt),                0,  0, false, false, false, 0, 0, ""},
    {"right click",        true,  click(R),                     0,  0, false, false, false, 0, 0, "pm"},
    {"right twitch",       true,  drag(R, none, 2, -3),         0,  0, true,  false, false, 0, 0, "pmcd"},
    {"right drag no menu", false, drag(R, none, 4, 0),          0,  0, false, false, false, 0, 0, "cd"},
    {"shift right click",  true,  click(R, other),              0,  0, false, false, false, 0, 0, ""},
    {"double-click",       true,  doubleClick(L),               0,  0, false, false, false, 0, 0, "px"},
    {"ctrl double-click",  true,  doubleClick(L, other),        0,  0, false, false, false, 0, 0, ""},
    {"right double-click", true,  doubleClick(R),               0,  0, false, false, false, 0, 0, ""},
    {"Home",               true,  key(Key::Home, none),         0,  0, false, false, false, 0, 0, "f"},
    {"F",                  false, key(Key::F, none),            0,  0, false, false, false, 0, 0, "f"},
    {"W without ALT",      true,  key(Key::W, none),            0,  0, false, false, false, 0, 0, ""},
    {"ALT Home",           true,  key(Key::Home, alt),          0,  0, false, false, false, 0, 0, ""},
    {"ALT W",              true,  key(Key::W, alt),             0,  0, false, false, false, 2, 1, "d"},
    {"ALT S",              true,  key(Key::S, alt),             0,  0, false, false, false, 2, -1, "d"},
    {"ALT A",              true,  key(Key::A, alt),             0,  0, false, false, false, 0, 1, "d"},
    {"ALT D",              false, key(Key::D, alt),             0,  0, false, false, false, 0, -1, "d"},
    {"ALT R",              true,  key(Key::R, alt),             0,  0, false, false, false, 1, 1, "d"},
    {"ALT F",              true,  key(Key::F, alt),             0,  0, false, false, false, 1, -1, "d"},
};
// clang-format on

int sign(float after, float before) {
    if (std::fabs(after - before) <= 1e-6f * std::max(1.0f, std::fabs(before))) return 0;
    return after > before ? 1 : -1;
}

bool moved(const Vector3& a, const Vector3& b) {
    return std::fabs(a[0] - b[0]) + std::fabs(a[1] - b[1]) + std::fabs(a[2] - b[2]) > 1e-5f;
}

// The two cameras, the 3D one orbiting the unit box; the light; and the input that moves them.
struct Rig {
    Camera ortho = orthoCamera();
    Camera perspective = perspectiveCamera();
    CameraControl control;
    float light[3] = {0.5f, 2.0f, -0.5f};
    SurfaceInput input{control, ortho, perspective, light};
    explicit Rig(bool mode3D) {
        control.setBounds(box({-1, -1, -1}, {1, 1, 1}));
        control.setOrbit(0.1f, 0.2f, 6.0f, {0, 0, 0});
        control.placePerspectiveCamera(perspective);
        input.setMode3D(mode3D);
        input.setSurfaceSize(800, 480);
    }
};

TEST(SurfaceInputTest, GesturesMakeTheChangesAndActionsTheyName) {
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        Rig rig(c.mode3D);
        const CameraControl& control = rig.control;
        const Camera& ortho = rig.ortho;
        const float* light = rig.light;
        const float distance = control.distance(), height = ortho.height;
        const float horizontal = control.horizontal(), vertical = control.vertical();
        const Vector3 centre = control.centre(), eye = ortho.position();
        std::string actions;
        for (const G& g : c.gestures) {
            const SurfaceInput::Action a = rig.input.handle(g);
            const std::pair<bool, char> flags[] = {
                {a.pick, 'p'},    {a.vertexDoubleClicked, 'x'}, {a.vertexMenu, 'm'},
                {a.fitView, 'f'}, {a.cameraMoved, 'c'},         {a.moves, 'd'}};
            for (const auto& [on, letter] : flags)
                if (on && actions.find(letter) == std::string::npos) actions += letter;
        }
        std::sort(actions.begin(), actions.end());
        std::string expected = c.actions;
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(actions, expected);
        EXPECT_EQ(sign(control.distance(), distance), c.distance);
        EXPECT_EQ(sign(ortho.height, height), c.orthoHeight);
        EXPECT_EQ(control.horizontal() != horizontal || control.vertical() != vertical, c.orbit);
        EXPECT_EQ(moved(control.centre(), centre), c.centreMoves);
        EXPECT_EQ(moved(ortho.position(), eye), c.orthoEyeMoves);
        const float start[3] = {0.5f, 2.0f, -0.5f};
        for (int axis = 0; axis < 3; ++axis) {
            const int want = axis == c.lightAxis ? c.lightSign : 0;
            EXPECT_EQ(light[axis], float(start[axis] + want * double(0.05f))) << "axis " << axis;
        }
    }
}

// A middle drag carries the picture with the pointer whatever the surface's size: a quarter of
// the width is half of the picture's half-width.
TEST(SurfaceInputTest, PansFollowThePointerAtAnySize) {
    Rig rig(false);
    for (const int width : {400, 1600}) {
        rig.input.setSurfaceSize(width, 480);
        const Vector3 eye = rig.ortho.position();
        for (const G& g : drag(M, none, width / 4.0f, 0)) rig.input.handle(g);
        EXPECT_NEAR(eye[0] - rig.ortho.position()[0], rig.ortho.width / 4, 1e-4f) << width;
    }
}

}  // namespace
