// Shadow map: geometry seen from the light camera. Built after curve_vertex.glsl.

void main() {
    readVertexInputs();
    gl_Position = clipPosition();
}
