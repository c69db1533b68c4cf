#pragma once
#include "app/plain_page.h"

CORVANTA_PLAIN_PAGE(qnDInstallImportProfiles, 174, "Import Corvanta Profiles",
                    "ImportCorvantaProfiles", false);
