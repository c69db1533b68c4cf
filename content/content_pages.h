#pragma once
#include "app/plain_page.h"
#include "content/templates_page.h"

CORVANTA_PLAIN_PAGE(qnDInstallCorvantaResourcesDynamic, 184, "Corvanta Vision Resources",
                    "Resources", false);
#include "content/readme_page.h"
CORVANTA_PLAIN_PAGE(qnDInstallDemoProfiles, 172, "Machine Vision Demonstration Profiles",
                    "DemoProfiles", true);
CORVANTA_PLAIN_PAGE(qnDInstallTutorials, 173, "Corvanta Vision Tutorials", "Tutorials", true);
