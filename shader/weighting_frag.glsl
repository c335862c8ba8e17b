#version 120
// Weighted average, accumulation (additive blending ONE, ONE into two float buffers):
//   output 0: sum of alpha-weighted colours (rgb) and sum of alphas (a);
//   output 1: number of curve fragments on the pixel (r).
// weighting_final turns these into the average colour and the average alpha, and treats the
// pixel as covered by that many layers of the average curve, independent of drawing order.

uniform int light_type;  // 0 point, 1 conic, 2 spot, 4 lighting off

varying vec4 vColor;
varying vec3 vEyePosition;

// Brightness of a curve sample under light 0: full without lighting (light_type 4); otherwise
// three quarters, so that curves far from the light stay readable, plus a quarter of the
// attenuated light, restricted to a soft cone for the conic light and a
// hard narrow cone for the spot light, as in the scene pass.
float lightFactor() {
    if (light_type == 4) return 1.0;
    vec3 toLight = gl_LightSource[0].position.xyz - vEyePosition;
    float d = length(toLight);
    vec3 l = d > 0.0 ? toLight / d : vec3(0.0, 0.0, 1.0);
    float k = gl_LightSource[0].constantAttenuation + gl_LightSource[0].linearAttenuation * d +
              gl_LightSource[0].quadraticAttenuation * d * d;
    float reach = k > 0.0 ? min(1.0, 1.0 / k) : 1.0;
    float cosAngle = dot(-l, normalize(gl_LightSource[0].spotDirection));
    if (light_type == 1) reach *= smoothstep(cos(radians(65.0)), cos(radians(20.0)), cosAngle);
    if (light_type == 2) {
        float spread = clamp(gl_LightSource[0].spotCutoff, 0.0, 1.0);
        reach *= step(cos(radians(20.0 + 30.0 * spread)), cosAngle);
    }
    return 0.75 + 0.25 * reach;
}

void main() {
    // The opacity of three layers of the curve's alpha, as in the scene pass.
    float a = 1.0 - pow(1.0 - clamp(vColor.a, 0.0, 1.0), 3.0);
    gl_FragData[0] = vec4(vColor.rgb * lightFactor() * a, a);
    gl_FragData[1] = vec4(1.0, 0.0, 0.0, 0.0);
}
