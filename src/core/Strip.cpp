#include "Strip.h"

// Strip keeps all its operations inline: they sit in the innermost loops of the treemap.
