#include "extract/template_document.h"
