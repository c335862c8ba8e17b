#version 120
// Scene pass. Output 0 is the visible colour, output 1 the picking code:
//   object_type 0 (vertex spheres, floor, light marker): (red of the primary colour, 0, 0); the
//       vertex drawers put id / vertex count there, and the visible colour comes from uColor.
//       The floor and the light marker are drawn in white, so their code (1, 0, 0) lies outside
//       every code range (codes are below 1) and names nothing.
//   object_type 1 (hierarchy edges, curves), 4 and 5 (curves in the trace and tint passes):
//       (0, t, s) with t and s the second and third texture coordinate of set 0; a hierarchy edge
//       carries (0, index / count, 0), a curve (0, 0, position / count).
//   object_type 3 (grid): (0, 0, 0, 0), the same as an uncovered pixel: the grid names nothing
//       and hides what lies behind it.
// The maximum pass of the curves (object_type 4) lays down a trace of every curve: its colour at
// a fixed share of its brightness, whatever its alpha, kept per channel by the maximum blend
// equation. A lone curve therefore always shows, however faint its alpha, and the alpha passes
// (method 0) and sums (methods 3 and 4) drawn over the trace brighten only where curves crowd
// together, so bundles stand out from single curves. Method 2 draws its maximum pass as ordinary
// edges (object_type 1), at full brightness: every curve at its own colour, crossings at the
// brighter of the two per channel. Its alpha pass (object_type 5) draws the curves in a pale tint
// of their colour, so that over those coloured curves the bundles, where many alphas pile up,
// glow pale.
// The alpha of output 1 tells what covers the pixel: 1 a vertex sphere (or the floor and the
// marker, whose code names nothing), 0.75 a hierarchy edge, -0.5 a relation curve, 0 nothing.
// Smoothed lines scale a fragment's alpha by its coverage, so the tags of lines are told apart
// by sign, never by size: any alpha in (0, 0.75] is an edge, any negative alpha a curve.
// Without it vertex 0, hierarchy edge 0 and the first curve would all read (0, 0, 0). The renderer
// clears output 1 to (0, 0, 0, 0) and writes it without blending, so tag and code arrive whole.
// Hierarchy edges carry texture coordinate q = 1, curves q = 0.

uniform sampler2D ShadowMap;  // unit 7: R = light-space depth, G = 1 where something was drawn
uniform int enable_shadow;    // 1 only while the floor is drawn
uniform int object_type;      // 0 vertices and floor, 1 edges, 3 grid, 4 curve trace (maximum
                              // pass), 5 curve tint (alpha pass of method 2)
uniform int light_type;       // 0 point, 1 conic, 2 spot, 4 lighting off
uniform sampler2D Texture0;   // unit 0: the cushion texture of treemap leaves
uniform vec4 uColor;          // visible colour of vertices, floor and marker

varying vec3 vEyePosition;
varying vec3 vNormal;
varying vec4 vColor;
varying vec4 vTexCoord0;
varying vec4 vShadowCoord;
#ifdef SPHERE_SPRITES
// Vertex spheres drawn as point sprites: each fragment finds the point of the sphere it shows
// from its place in the sprite, and writes that point's normal, light and depth.
uniform bool sphere_sprite;
uniform float sphere_eye_radius;  // the spheres' radius in eye units
varying float vSpriteSpan;
#endif

// 1 / (kc + kl d + kq d^2), capped at 1 so that the small constant terms the renderer uses do not
// blow the colour up near the light.
float attenuation(float d) {
    float k = gl_LightSource[0].constantAttenuation + gl_LightSource[0].linearAttenuation * d +
              gl_LightSource[0].quadraticAttenuation * d * d;
    return k > 0.0 ? min(1.0, 1.0 / k) : 1.0;
}

// How much of the light reaches a point seen from the light at cosAngle off its axis. The point
// light shines everywhere; the conic light fades softly over a wide cone; the spot light is a
// narrow cone with a hard edge that widens with the radius slider (spotCutoff 0 .. 0.99).
float cone(float cosAngle) {
    if (light_type == 1) return smoothstep(cos(radians(65.0)), cos(radians(20.0)), cosAngle);
    if (light_type == 2) {
        float spread = clamp(gl_LightSource[0].spotCutoff, 0.0, 1.0);
        return step(cos(radians(20.0 + 30.0 * spread)), cosAngle);
    }
    return 1.0;
}

// Share of a curve's brightness in its trace (object_type 4), and of white in its tint (5).
const float kTrace = 0.35;
const float kTint = 0.85;

// A curve's colour buffer carries its alpha divided by its control-point count, which leaves a
// long curve almost transparent. Its opacity is taken as that of three such layers, so that a
// handful of curves running together already stands out from a single one.
float curveOpacity(float alpha) { return 1.0 - pow(1.0 - clamp(alpha, 0.0, 1.0), 3.0); }

// Ambient, diffuse and specular light on a surface of colour base. Lines have no orientation and
// are what the user reads, so they never go dark away from the light: they keep three quarters
// of their colour and the light adds the last quarter.
vec3 shade(vec3 base, bool surface, vec3 eyePosition, vec3 normal) {
    if (light_type == 4) return base;
    vec3 toLight = gl_LightSource[0].position.xyz - eyePosition;
    float d = length(toLight);
    vec3 l = d > 0.0 ? toLight / d : vec3(0.0, 0.0, 1.0);
    float reach = attenuation(d) * cone(dot(-l, normalize(gl_LightSource[0].spotDirection)));
    if (!surface) return base * (0.75 + 0.25 * reach);
    vec3 ambient = gl_LightModel.ambient.rgb + gl_LightSource[0].ambient.rgb;
    vec3 n = normalize(normal);
    float diffuse = max(dot(n, l), 0.0);
    vec3 h = normalize(l + normalize(-eyePosition));
    float specular = diffuse > 0.0 ? pow(max(dot(n, h), 0.0), 32.0) : 0.0;
    return base * (ambient + reach * diffuse * gl_LightSource[0].diffuse.rgb) +
           reach * specular * 0.3 * gl_LightSource[0].specular.rgb;
}

// 1 where the floor sees the light, down to 0.35 in full shadow; a 3 x 3 neighbourhood of the
// shadow map softens the edge. Only the floor's variant of the program (FLOOR_SHADOW defined)
// looks: a software rasteriser runs a branch's nine lookups for every fragment under a mask,
// whatever the uniform says, and the lines of the scene are many fragments.
float shadow() {
#ifdef FLOOR_SHADOW
    if (enable_shadow != 1 || vShadowCoord.w <= 0.0) return 1.0;
    vec3 c = vShadowCoord.xyz / vShadowCoord.w;
    if (c.x < 0.0 || c.x > 1.0 || c.y < 0.0 || c.y > 1.0) return 1.0;
    vec2 texel = vec2(1.0 / 1024.0, 1.0 / 768.0);
    float lit = 0.0;
    for (int i = -1; i <= 1; ++i) {
        for (int j = -1; j <= 1; ++j) {
            vec2 at = c.xy + vec2(float(i), float(j)) * texel;
            // Beyond the map's last texel the light saw nothing: filtering there would mix in the
            // border and throw a false shadow line along the edge of the light's view.
            if (at.x < 0.5 * texel.x || at.x > 1.0 - 0.5 * texel.x || at.y < 0.5 * texel.y ||
                at.y > 1.0 - 0.5 * texel.y) {
                lit += 1.0;
                continue;
            }
            vec4 stored = texture2D(ShadowMap, at);
            lit += (stored.g < 0.5 || c.z <= stored.r + 0.002) ? 1.0 : 0.0;
        }
    }
    return mix(0.35, 1.0, lit / 9.0);
#else
    return 1.0;
#endif
}

void main() {
    vec3 eyePosition = vEyePosition;
    vec3 normal = vNormal;
#ifdef SPHERE_SPRITES
    gl_FragDepth = gl_FragCoord.z;
    if (sphere_sprite) {
        // Sprite rows run top-down, eye coordinates bottom-up.
        vec2 offset = (gl_PointCoord - 0.5) * vSpriteSpan * vec2(1.0, -1.0);
        float across = dot(offset, offset);
        if (across > 1.0) discard;
        // The disc faces the eye: along the view axis under a parallel projection, along the
        // ray to the sphere's centre under a perspective one.
        vec3 toEye = gl_ProjectionMatrix[3][3] == 0.0 ? normalize(-vEyePosition) : vec3(0, 0, 1);
        vec3 across1 = normalize(cross(vec3(0.0, 1.0, 0.0), toEye));
        vec3 across2 = cross(toEye, across1);
        normal = offset.x * across1 + offset.y * across2 + sqrt(1.0 - across) * toEye;
        eyePosition = vEyePosition + sphere_eye_radius * normal;
        vec4 clip = gl_ProjectionMatrix * vec4(eyePosition, 1.0);
        gl_FragDepth = 0.5 * clip.z / clip.w + 0.5;
    }
#endif
    vec4 base;
    vec4 code;
    bool surface = true;
#ifdef LINE_SHADING
    // The variant for hierarchy edges and curves alone: a software rasteriser runs every branch
    // of the program for every fragment under a mask, and lines are most of the fragments.
    base = vColor;
    bool edge = vTexCoord0.w > 0.5;
    code = vec4(0.0, vTexCoord0.y, vTexCoord0.z, edge ? 0.75 : -0.5);
    if (!edge) base.a = curveOpacity(base.a);
    surface = false;
#elif defined(SPHERE_SPRITES) || defined(FLOOR_SHADOW)
    // The variants for vertex spheres and for the floor draw nothing else.
    base = uColor;
    code = vec4(vColor.r, 0.0, 0.0, 1.0);
#else
    if (object_type == 0) {
        base = uColor;
        code = vec4(vColor.r, 0.0, 0.0, 1.0);
    } else if (object_type == 3) {
        base = vColor;
        // Only the filled cushion squares carry r = 1 and take the texture, whatever unit 0
        // holds while outlines and circles are drawn.
        if (vTexCoord0.z > 0.5) base *= texture2D(Texture0, vTexCoord0.xy);
        code = vec4(0.0);
    } else {
        base = vColor;
        bool edge = vTexCoord0.w > 0.5;
        code = vec4(0.0, vTexCoord0.y, vTexCoord0.z, edge ? 0.75 : -0.5);
        if (!edge) base.a = curveOpacity(base.a);
        surface = false;
    }
#endif
    vec3 shaded = shade(base.rgb, surface, eyePosition, normal) * shadow();
    if (object_type == 4) shaded *= kTrace;
    if (object_type == 5) shaded = mix(shaded, vec3(1.0), kTint);
    gl_FragData[0] = vec4(shaded, base.a);
    gl_FragData[1] = code;
}
