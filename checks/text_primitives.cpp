#include "checks/text_primitives.h"
