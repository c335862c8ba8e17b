#version 120
// Copies the scene's depth into the accumulation buffer, so that curve fragments behind the
// scene's geometry fail the depth test there. The colour outputs are zero: the weighting method
// does not clear its sums after this quad, so it must add nothing.

uniform sampler2D DepthBackground;  // unit 0: the scene buffer's depth texture

void main() {
    gl_FragDepth = texture2D(DepthBackground, gl_TexCoord[0].xy).r;
    gl_FragData[0] = vec4(0.0);
    gl_FragData[1] = vec4(0.0);
}
