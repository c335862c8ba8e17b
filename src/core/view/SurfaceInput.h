#pragma once

#include "Camera.h"
#include "CameraControl.h"

// The drawing surface's mouse, wheel and keys, free of the toolkit: gestures come in as plain
// records, camera and light moves are made here, and what needs the GL (picking, and what a
// picked vertex is for) or the window (framing the view) comes back as an action.
//
// ALT + left drag orbits (3D) or pans (2D), ALT + right drag zooms, ALT + W/S/A/D/R/F move the
// light. Without ALT: the wheel zooms, a right drag orbits (3D), a middle drag pans, a left click
// or drag picks, Home and F frame the view again; a double-click or a right click without a drag
// acts on the vertex under the pointer.
class SurfaceInput {
public:
    enum Button { NoButton = 0, Left = 1, Right = 2, Middle = 4 };
    enum class Modifiers { None, AltOnly, Other };
    enum class Key { Other, Home, F, W, A, S, D, R };

    struct Gesture {
        enum class Type { Press, Move, Release, DoubleClick, Wheel, KeyPress } type;
        float x = 0, y = 0;     // the pointer, in widget pixels
        int button = NoButton;  // the button pressed or released
        int held = NoButton;    // the buttons held after the event
        Modifiers modifiers = Modifiers::None;
        double wheelNotches = 0;  // away from the user is positive
        Key key = Key::Other;
    };

    struct Action {
        // Pick at the pointer; with vertexDoubleClicked or vertexMenu, what the vertex picked is
        // for, if a vertex is picked.
        bool pick = false;
        bool vertexDoubleClicked = false;
        bool vertexMenu = false;
        bool fitView = false;
        bool cameraMoved = false;
        // The picture moves: frames are drafts until input rests.
        bool moves = false;
    };

    // The light moves by the float 0.05 per key press.
    static constexpr double kLightStep = static_cast<double>(0.05f);
    // A press and release closer than this many pixels in either direction is a click.
    static constexpr double kClickSlop = 3.0;
    // One notch of the wheel brings the camera this much closer.
    static constexpr double kWheelZoom = 0.85;

    SurfaceInput(CameraControl& control, Camera& ortho, Camera& perspective, float* lightPosition)
        : m_control(control), m_ortho(ortho), m_perspective(perspective), m_light(lightPosition) {}

    void setMode3D(bool mode3D) { m_mode3D = mode3D; }
    // The surface's size in widget pixels: a pan follows the pointer whatever the size.
    void setSurfaceSize(int width, int height) {
        m_width = width;
        m_height = height;
    }

    Action handle(const Gesture& gesture);

private:
    Action press(const Gesture& g);
    Action move(const Gesture& g);
    Action release(const Gesture& g);
    Action key(const Gesture& g);

    CameraControl& m_control;
    Camera& m_ortho;
    Camera& m_perspective;
    float* m_light;
    bool m_mode3D = true;
    int m_width = 1, m_height = 1;
    float m_last[2] = {0, 0};   // where the pointer was at the last press or camera move
    float m_press[2] = {0, 0};  // where the left or right button went down
    bool m_dragged = false;     // whether the pointer has left it since
};
