#include "ViewerGlState.h"

#include <GL/glew.h>

void applyViewerDepthState() {
    glEnable(GL_CULL_FACE);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
}

void applyViewerLineState() {
    glShadeModel(GL_SMOOTH);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    glLineWidth(1.0f);
    glEnable(GL_LINE_SMOOTH);
    glClearDepth(1.0);
}
