#pragma once

// The one light of the scene. The drawing surface owns it and moves it; the renderer refreshes
// every other field from the render states each frame.
struct Light {
    bool m_shadow = false;
    bool m_enabled = true;
    int m_type = 0;  // 0 point, 1 conic, 2 spot
    // Above the layouts and in front of the rooted tree, so that every view is lit from above.
    float m_position[3] = {0.5f, 2.5f, 1.5f};
    float m_direction[3] = {0, -1, 0};
    float m_radius = 1.0f;
    float m_attenuation = 0;
    bool m_vertexInShadow = false;
    bool m_hierarchyInShadow = false;
    bool m_relationInShadow = false;
    bool m_gridInShadow = false;
};
