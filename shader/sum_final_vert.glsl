#version 120
// Screen quad: texture coordinates 0 .. 1 over the picture.

void main() {
    gl_TexCoord[0] = gl_MultiTexCoord0;
    gl_Position = ftransform();
}
