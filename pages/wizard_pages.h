#pragma once
// The wizard's twenty pages in wizard order, for the sheet's page factory.
#include <memory>
#include <vector>

#include "app/page_base.h"

std::vector<std::unique_ptr<qnDPropertyPageBase>> makeWizardPages();
