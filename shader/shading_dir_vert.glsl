// Scene pass: vertices, floor, grid, hierarchy edges and relation curves. Lighting is done per
// fragment in eye space: light 0's position and spot direction were handed to GL under the
// camera's view, so gl_LightSource[0] already holds them in eye coordinates. Built after
// curve_vertex.glsl, which reads the inputs.

varying vec3 vEyePosition;
varying vec3 vNormal;
varying vec4 vColor;
varying vec4 vTexCoord0;
varying vec4 vShadowCoord;

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
}
