#pragma once

// The fixed-function state the viewer's drawing surface sets around the renderer's Initialize.
// Everything that renders as the viewer does (the surface itself, benchmarks, GL tests) sets it
// through these two calls, so that none of them measures or checks a picture users never see.

// Before Initialize: back faces culled, depth test on with ties going to the later draw
// (GL_LEQUAL), so that curves at the depth of hierarchy edges still show.
void applyViewerDepthState();
// After Initialize: smooth shading, nicest perspective correction, smoothed lines of width 1,
// clear depth 1.
void applyViewerLineState();
