#include "RenderStates.h"

RenderStates g_renderStates;
