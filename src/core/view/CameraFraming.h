#pragma once

#include "Camera.h"
#include "CameraControl.h"
#include "SceneBounds.h"

// Where the cameras start for a view: the 3D camera looks at the centre of the view's box from a
// pleasant direction and a distance at which the whole box is in the picture; the 2D camera sees
// the view face-on with the box filling the picture but for a margin.
class CameraFraming {
public:
    // Vertical field of view of the 3D camera, degrees.
    static constexpr float kFovy = 45.0f;
    // Share of the picture's width or height the framed box takes at most; the rest is margin.
    static constexpr float kFill = 0.9f;

    // The 3D start direction of a view in the orbit's factors (CameraControl). Flat layouts in
    // the x-z plane are seen obliquely from above; the rooted tree, which stands in the x-y
    // plane, mostly from the front.
    static void startDirection(int viewType, float& horizontal, float& vertical);
    // The 2D direction of a view: the rooted tree from the front with its root at the top, the
    // other layouts from above.
    static void flatDirection(int viewType, Vector3& forward, Vector3& up);

    // The least distance from the box's centre along the eye direction of (horizontal,
    // vertical) at which every corner of box lies within kFill of the picture.
    static float fitDistance(const SceneBounds& box, float horizontal, float vertical, float fovy,
                             float aspect);
    // Orbit of control and the perspective camera (field of view, aspect, view and planes)
    // framing box. Nothing changes for an empty box.
    static void framePerspective(const SceneBounds& box, int viewType, float aspect,
                                 CameraControl& control, Camera& perspective);
    // The orthographic camera face-on to box at aspect, box centred. Nothing changes for an
    // empty box.
    static void frameOrtho(const SceneBounds& box, int viewType, float aspect, Camera& ortho);
    // The orthographic camera's planes around box as seen from where it stands, with room for
    // the floor under the box and the light above it.
    static void fitOrthoPlanes(const SceneBounds& box, Camera& ortho);
    // A new picture shape: the 2D camera keeps its height and the 3D camera its field of view.
    static void setAspect(float aspect, Camera& ortho, Camera& perspective);

    // A light position that lights box well: above it and in front of its centre, clear of it.
    static Vector3 lightPosition(const SceneBounds& box);
};
