#pragma once

// The fixed-function state the viewer's drawing surface sets around the renderer's Initialize.
// The surface, the frame benchmark and the scene tests all set it through these two calls, so
// that benchmarks and tests see the pictures users see. (Smoothed lines alone double the frame time
// on a software renderer, and GL's default depth function GL_LESS would hide curves lying on
// hierarchy edges.)

// Before Initialize: back faces culled, depth test on with ties going to the later draw
// (GL_LEQUAL), so that curves at the depth of hierarchy edges still show.
void applyViewerDepthState();
// After Initialize: smooth shading, nicest perspective correction, smoothed lines of width 1,
// clear depth 1.
void applyViewerLineState();
