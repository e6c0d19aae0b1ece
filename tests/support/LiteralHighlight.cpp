#include "tests/support/LiteralHighlight.h"
