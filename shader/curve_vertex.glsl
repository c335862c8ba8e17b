#version 120
#extension GL_EXT_gpu_shader4 : require
#extension GL_ARB_draw_instanced : require
// Inputs of every vertex stage that draws relation curves. For other objects they are GL's own
// (gl_Vertex, gl_Color, gl_MultiTexCoord0). For a curve (curve_mode on) the instance is the
// curve's list position and gl_Vertex.x the sample number, and the sample is evaluated here from
// the curve's tree path: control points from the view's layout positions, moved towards the
// segment between the ends by beta, then summed with the basis weights of the sample.

uniform bool curve_mode;
uniform float curve_beta;
uniform int curve_view;
uniform int curve_samples;
uniform int curve_count;
// Every curve_stride-th curve is drawn (1: all of them), from list position curve_first.
uniform int curve_stride;
uniform int curve_first;
uniform vec4 curve_start[4];
uniform vec4 curve_end[4];
// Per control count that occurs and sample j, two texels: window start and weights 0 .. 2,
// weight 3. A path's start holds (first vertex, first texel of its count's table, its alpha
// scale in 1024ths: 1 + log2 of the number of edges it stands for).
uniform samplerBuffer curve_basis;
uniform isamplerBuffer curve_paths;
uniform isamplerBuffer curve_path_starts;
uniform samplerBuffer curve_positions;
uniform isamplerBuffer curve_order;
uniform usamplerBuffer curve_slots;

// Vertex spheres of one tessellation level drawn in one instanced call (sphere_mode on): the
// instance carries the sphere's centre and its picking code, which goes to the red channel.
uniform bool sphere_mode;
attribute vec4 sphere_instance;
// Vertex spheres drawn as point sprites (sphere_sprite on): gl_Vertex is (centre, picking code).
uniform bool sphere_sprite;

vec4 vertexIn;
vec4 colorIn;
vec4 texCoordIn;

vec3 curveControl(int first, int k, int n) {
    vec3 p = texelFetchBuffer(curve_positions, texelFetchBuffer(curve_paths, first + k).x).xyz;
    // Interior points leave the tree, each layout its own way.
    if (k != 0 && k != n - 1) {
        if (curve_view == 0) {
            p.y = 1.325 - p.y;
        } else if (curve_view == 1) {
            p.y = -p.y;
        } else if (curve_view == 2 || curve_view == 3) {
            p.y = 0.5;
        } else if (curve_view == 4) {
            p.y = 0.0;
        }
    }
    return p;
}

void evaluateCurve() {
    int position = curve_first + gl_InstanceIDARB * curve_stride;
    int path = texelFetchBuffer(curve_order, position).x;
    ivec4 pathStart = texelFetchBuffer(curve_path_starts, path);
    int first = pathStart.x;
    int n = texelFetchBuffer(curve_path_starts, path + 1).x - first;
    int j = int(gl_Vertex.x);
    vec3 head = curveControl(first, 0, n);
    vec3 tail = curveControl(first, n - 1, n);
    int texel = pathStart.y + 2 * j;
    vec4 window = texelFetchBuffer(curve_basis, texel);
    float weights[4];
    weights[0] = window.y;
    weights[1] = window.z;
    weights[2] = window.w;
    weights[3] = texelFetchBuffer(curve_basis, texel + 1).x;
    int start = int(window.x);
    vec3 point = vec3(0.0);
    for (int r = 0; r < 4; ++r) {
        int i = start + r;
        if (i >= n) break;
        vec3 work = curveControl(first, i, n);
        if (n >= 2) {
            float along = float(i) / float(n - 1);
            work = curve_beta * work + (1.0 - curve_beta) * (head + along * (tail - head));
        }
        point += weights[r] * work;
    }
    // The y axis points down in the picture.
    vertexIn = vec4(point.x, 1.0 - point.y, point.z, 1.0);
    int slot = int(texelFetchBuffer(curve_slots, position).x);
    float s = float(j) / float(curve_samples);
    colorIn = (1.0 - s) * curve_start[slot] + s * curve_end[slot];
    float alphaScale = float(pathStart.z) / 1024.0;
    colorIn.a = slot >= 2 ? curve_start[slot].a : curve_start[slot].a * alphaScale / float(n);
    texCoordIn = vec4(0.0, 0.0, float(position) / float(curve_count), 0.0);
}

void readVertexInputs() {
    if (curve_mode) {
        evaluateCurve();
    } else if (sphere_sprite) {
        vertexIn = vec4(gl_Vertex.xyz, 1.0);
        colorIn = vec4(gl_Vertex.w, 0.0, 0.0, 1.0);
        texCoordIn = vec4(0.0);
    } else if (sphere_mode) {
        vertexIn = vec4(gl_Vertex.xyz + sphere_instance.xyz, 1.0);
        colorIn = vec4(sphere_instance.w, 0.0, 0.0, 1.0);
        texCoordIn = gl_MultiTexCoord0;
    } else {
        vertexIn = gl_Vertex;
        colorIn = gl_Color;
        texCoordIn = gl_MultiTexCoord0;
    }
}

// Clip coordinates of vertexIn; GL's own transform for everything but curves and spheres.
vec4 clipPosition() {
    return curve_mode || sphere_mode || sphere_sprite ? gl_ModelViewProjectionMatrix * vertexIn
                                                      : ftransform();
}
