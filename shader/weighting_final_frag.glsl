#version 120
// Weighted average, composition: with n curve fragments on a pixel, average colour C and average
// alpha A, the pixel is taken as n layers of C with opacity A each. The background shows through
// with transmittance (1 - A)^n, so the result does not depend on the order the curves were drawn.

uniform sampler2D ColorTex0;   // unit 0: rgb = sum of alpha-weighted colours, a = sum of alphas
uniform sampler2D ColorTex1;   // unit 1: r = number of fragments
uniform sampler2D Background;  // unit 2: the scene picture

void main() {
    vec2 tc = gl_TexCoord[0].xy;
    vec4 sum = texture2D(ColorTex0, tc);
    float n = texture2D(ColorTex1, tc).r;
    vec3 background = texture2D(Background, tc).rgb;
    if (n < 0.5 || sum.a <= 0.0) {
        gl_FragColor = vec4(background, 1.0);
        return;
    }
    vec3 average = sum.rgb / sum.a;
    float alpha = clamp(sum.a / n, 0.0, 1.0);
    float transmittance = pow(1.0 - alpha, n);
    gl_FragColor = vec4(mix(average, background, transmittance), 1.0);
}
