#include "SurfaceInput.h"

#include <algorithm>
#include <cmath>

SurfaceInput::Action SurfaceInput::handle(const Gesture& g) {
    using Type = Gesture::Type;
    switch (g.type) {
        case Type::Press:
            return press(g);
        case Type::Move:
            return move(g);
        case Type::Release:
            return release(g);
        case Type::DoubleClick: {
            Action action;
            action.pick = action.vertexDoubleClicked =
                g.button == Left && g.modifiers == Modifiers::None;
            return action;
        }
        case Type::Wheel: {
            Action action;
            if (g.wheelNotches == 0) return action;
            const float factor = static_cast<float>(std::pow(kWheelZoom, g.wheelNotches));
            m_control.zoomBy(factor, m_mode3D, m_ortho, m_perspective);
            action.cameraMoved = action.moves = true;
            return action;
        }
        case Type::KeyPress:
            return key(g);
    }
    return Action();
}

SurfaceInput::Action SurfaceInput::press(const Gesture& g) {
    m_last[0] = g.x;
    m_last[1] = g.y;
    if (g.button == Left || g.button == Right) {
        m_press[0] = g.x;
        m_press[1] = g.y;
        m_dragged = false;
    }
    return Action();
}

SurfaceInput::Action SurfaceInput::move(const Gesture& g) {
    Action action;
    if (std::fabs(g.x - m_press[0]) > kClickSlop || std::fabs(g.y - m_press[1]) > kClickSlop) {
        m_dragged = true;
    }
    const bool alt = g.modifiers == Modifiers::AltOnly;
    const bool orbit = !alt && g.held == Right;
    const bool pan = !alt && g.held == Middle;
    if (!alt && !orbit && !pan) {
        action.pick = true;
        return action;
    }
    if (alt && g.held != Right && g.held != Left) return action;
    const float pixelsX = g.x - m_last[0], pixelsY = g.y - m_last[1];
    const float dx = CameraControl::deltaX(pixelsX), dy = CameraControl::deltaY(pixelsY);
    m_last[0] = g.x;
    m_last[1] = g.y;
    if (pan) {
        m_control.panStep(2.0f * pixelsX / std::max(m_width, 1),
                          2.0f * pixelsY / std::max(m_height, 1), m_mode3D, m_ortho, m_perspective);
    } else if (orbit) {
        // A right drag orbits only in 3D.
        if (m_mode3D) m_control.orbitStep(dx, dy, m_perspective);
    } else if (g.held == Right) {
        m_control.zoomStep(dx, dy, m_mode3D, m_ortho, m_perspective);
    } else if (m_mode3D) {
        m_control.orbitStep(dx, dy, m_perspective);
    } else {
        m_control.panStep(dx, dy, false, m_ortho, m_perspective);
    }
    action.cameraMoved = action.moves = true;
    return action;
}

SurfaceInput::Action SurfaceInput::release(const Gesture& g) {
    Action action;
    // A move comes only once the pointer has moved, so a click has not picked yet.
    if (g.button == Left && !m_dragged && g.modifiers != Modifiers::AltOnly) action.pick = true;
    // A right click that did not orbit offers what can be done to the vertex under it.
    if (g.button == Right && !m_dragged && g.modifiers == Modifiers::None) {
        action.pick = action.vertexMenu = true;
    }
    return action;
}

SurfaceInput::Action SurfaceInput::key(const Gesture& g) {
    Action action;
    if (g.modifiers == Modifiers::None && (g.key == Key::Home || g.key == Key::F)) {
        action.fitView = true;
        return action;
    }
    if (g.modifiers != Modifiers::AltOnly) return action;
    // Axis and direction of each light key.
    int axis = 0;
    double step = kLightStep;
    switch (g.key) {
        case Key::W:
            axis = 2;
            break;
        case Key::S:
            axis = 2;
            step = -step;
            break;
        case Key::A:
            break;
        case Key::D:
            step = -step;
            break;
        case Key::R:
            axis = 1;
            break;
        case Key::F:
            axis = 1;
            step = -step;
            break;
        default:
            return action;
    }
    m_light[axis] = static_cast<float>(m_light[axis] + step);
    // A held key repeats: the light moves like a drag.
    action.moves = true;
    return action;
}
