#include "pages/PageRenderer.h"
