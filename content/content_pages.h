#pragma once
#include "app/plain_page.h"
#include "content/resources_page.h"
#include "content/templates_page.h"

CORVANTA_PLAIN_PAGE(qnDInstallReleaseNotes, 150, "Readme Notes", "Readme", false);
#include "content/demo_profiles_page.h"
#include "content/tutorials_page.h"
