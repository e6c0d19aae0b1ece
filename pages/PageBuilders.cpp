#include "pages/PageBuilders.h"
