#pragma once
#include "content/demo_profiles_page.h"
#include "content/readme_page.h"
#include "content/resources_page.h"
#include "content/templates_page.h"
#include "content/tutorials_page.h"
