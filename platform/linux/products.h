#pragma once
// Installer registrations: look-ups shared by the installer port and corvanta-machine.
#include <optional>
#include <string>

#include "platform/machine.h"

namespace platform::machine {

// A product code in the installer's form: {XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}.
bool isProductCode(const std::string& code);

std::optional<Product> findProduct(const std::string& code, int context);

// Removes a product as the installer engine does: runs its remove command (waited for)
// and, when that succeeds, drops its registration. context 0: the first context that has
// it (machine, user-managed, user-unmanaged). ERROR_SUCCESS, ERROR_UNKNOWN_PRODUCT, or
// ERROR_INSTALL_FAILURE (1603) when the remove command failed or could not start; then the
// registration stays.
unsigned removeProduct(const std::string& code, int context);

constexpr unsigned ERROR_INSTALL_FAILURE = 1603;

}  // namespace platform::machine
