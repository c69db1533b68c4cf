#include "pages/wizard_pages.h"
