#include "a.h"
  #  include_next <b/c.h> // x
/* #include "no.h"
*/ #import "no.h"
char c = '"'; const char* s = "/*";
#include "d/*.h" /* open
#include "no.h" */
#include <e.h>
#include "unclosed
#include <
