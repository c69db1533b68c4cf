#pragma once
// Windows Installer port: the product database of the machine.
#include <string>

namespace platform::msi {

enum Context : int { MSIINSTALLCONTEXT_USERMANAGED = 1, MSIINSTALLCONTEXT_USERUNMANAGED = 2,
                     MSIINSTALLCONTEXT_MACHINE = 4 };
constexpr int INSTALLSTATE_ABSENT = 2;
constexpr int INSTALLLEVEL_DEFAULT = 0;

// MsiGetProductInfoEx: ERROR_SUCCESS, ERROR_UNKNOWN_PRODUCT, ERROR_UNKNOWN_PROPERTY or
// ERROR_MORE_DATA when the value and its terminator do not fit bufferSize.
unsigned getProductInfoEx(const std::string& productCode, Context context,
                          const std::string& property, std::string& value, size_t bufferSize);

// MsiGetProductInfo: the product in any context (machine first).
unsigned getProductInfo(const std::string& productCode, const std::string& property,
                        std::string& value, size_t bufferSize);

// MsiEnumProducts: ERROR_SUCCESS with the index-th product code, ERROR_NO_MORE_ITEMS past
// the end.
unsigned enumProducts(unsigned index, std::string& productCode);

// MsiConfigureProduct: with INSTALLSTATE_ABSENT, removes the product (its removal runs
// and its registration goes away).
unsigned configureProduct(const std::string& productCode, int installLevel, int installState);

// MsiGetFileVersion.
unsigned getFileVersion(const std::string& path, std::string& version, size_t bufferSize);

}  // namespace platform::msi
