#pragma once
// Component pages whose components come with the catalogue's families.
#include "app/plain_page.h"
#include "pages/camera_pages.h"
#include "pages/io_system_page.h"
#include "pages/modules_page.h"
#include "pages/prerequisites_pages.h"
#include "pages/python_extension_pages.h"
#include "pages/summary_page.h"
#include "pages/utility_pages.h"

