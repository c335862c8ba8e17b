#version 120
// Shadow map: geometry seen from the light camera.

void main() { gl_Position = ftransform(); }
