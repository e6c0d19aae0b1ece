#include "tests/support/LiteralSearch.h"
