#version 120
// Summed average, composition: the average curve colour (colour sum / alpha sum) over the scene,
// with the summed alpha, capped at 1, as its coverage.

uniform sampler2D ColorTex0;   // unit 0: rgb = sum of alpha-weighted colours, a = sum of alphas
uniform sampler2D Background;  // unit 1: the scene picture

void main() {
    vec2 tc = gl_TexCoord[0].xy;
    vec4 sum = texture2D(ColorTex0, tc);
    vec3 background = texture2D(Background, tc).rgb;
    vec3 average = sum.a > 0.0 ? sum.rgb / sum.a : vec3(0.0);
    gl_FragColor = vec4(mix(background, average, clamp(sum.a, 0.0, 1.0)), 1.0);
}
