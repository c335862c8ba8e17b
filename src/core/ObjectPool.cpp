#include "ObjectPool.h"

// ObjectPool is a template; this file only keeps its header compiling on its own.
