#version 120
// Shadow map texel: R = depth from the light (0 .. 1, the range the bias matrix maps the shadow
// coordinate into), G = 1 marks that something was drawn here, since the clear colour's G is 0.

void main() { gl_FragData[0] = vec4(gl_FragCoord.z, 1.0, 0.0, 1.0); }
