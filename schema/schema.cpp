#include "schema/schema.h"
