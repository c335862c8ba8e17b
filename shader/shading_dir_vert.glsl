// Scene pass: vertices, floor, grid, hierarchy edges and relation curves. Lighting is done per
// fragment in eye space: light 0's position and spot direction were handed to GL under the
// camera's view, so gl_LightSource[0] already holds them in eye coordinates. Built after
// curve_vertex.glsl, which reads the inputs.

varying vec3 vEyePosition;
varying vec3 vNormal;
varying vec4 vColor;
varying vec4 vTexCoord0;
varying vec4 vShadowCoord;
// A sphere sprite's radius in pixels at clip w = 1, and the sprite's side over its radius.
uniform float sphere_pixels;
varying float vSpriteSpan;

void main() {
    readVertexInputs();
    vec4 eye = gl_ModelViewMatrix * vertexIn;
    vEyePosition = eye.xyz;
    vNormal = gl_NormalMatrix * gl_Normal;
    vColor = colorIn;
    vTexCoord0 = texCoordIn;
    // While the floor is drawn, unit 7's texture matrix maps eye coordinates to shadow-map
    // coordinates (bias x light projection x light view x inverse camera view).
    vShadowCoord = gl_TextureMatrix[7] * eye;
    gl_Position = clipPosition();
    if (sphere_sprite) {
        // One pixel of margin around the disc keeps its rim whole.
        float radius = max(sphere_pixels / gl_Position.w, 0.5);
        gl_PointSize = 2.0 * radius + 2.0;
        vSpriteSpan = gl_PointSize / radius;
    }
}
