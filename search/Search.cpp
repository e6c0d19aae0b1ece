#include "dictionary/Dictionary.h"
