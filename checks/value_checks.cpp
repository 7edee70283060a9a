#include "checks/value_checks.h"
