#version 120
// Relation curves for the accumulation buffer: colour and eye-space position per sample.

varying vec4 vColor;
varying vec3 vEyePosition;

void main() {
    vColor = gl_Color;
    vEyePosition = (gl_ModelViewMatrix * gl_Vertex).xyz;
    gl_Position = ftransform();
}
