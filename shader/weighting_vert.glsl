// Relation curves for the accumulation buffer: colour and eye-space position per sample. Built
// after curve_vertex.glsl, which evaluates the curves.

varying vec4 vColor;
varying vec3 vEyePosition;

void main() {
    readVertexInputs();
    vColor = colorIn;
    vEyePosition = (gl_ModelViewMatrix * vertexIn).xyz;
    gl_Position = clipPosition();
}
