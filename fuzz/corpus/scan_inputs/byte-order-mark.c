#include "a.h"
  #  include_next <b.h>
