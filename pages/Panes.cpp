#include "pages/Panes.h"
