#pragma once
#include "app/plain_page.h"

CORVANTA_PLAIN_PAGE(qnDInstallWelcomeBase, 130, "Welcome", "Welcome", false);
