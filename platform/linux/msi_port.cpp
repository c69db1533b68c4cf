// Installer port on the machine's product registrations.
#include <strings.h>

#include <algorithm>
#include <cctype>
#include <sys/stat.h>

#include "platform/debug.h"
#include "platform/files.h"
#include "platform/linux/command_line.h"
#include "platform/linux/machine_store.h"
#include "platform/linux/products.h"
#include "platform/linux/reg_file.h"
#include "platform/machine.h"
#include "platform/msi.h"
#include "platform/process.h"
#include "platform/registry.h"
#include "platform/win_types.h"
#include "platform/port_backends.h"

namespace platform::msi {

using machine::MachineError;

namespace {

constexpr unsigned ERROR_FILE_INVALID = 1006;

template <class F>
unsigned guarded(const char* method, F&& body) {
  try {
    return body();
  } catch (const MachineError& e) {
    debugOutput(std::string("msi::") + method + " - " + e.what() + "\n");
    return win::ERROR_BAD_CONFIGURATION;
  }
}

unsigned fit(const std::string& text, std::string& value, size_t bufferSize) {
  if (text.size() + 1 > bufferSize) return win::ERROR_MORE_DATA;
  value = text;
  return win::ERROR_SUCCESS;
}

}  // namespace

unsigned getProductInfoEx(const std::string& productCode, Context context,
                          const std::string& property, std::string& value, size_t bufferSize) {
  if (!machine::isProductCode(productCode) || property.empty()) return win::ERROR_INVALID_PARAMETER;
  if (context != MSIINSTALLCONTEXT_MACHINE && context != MSIINSTALLCONTEXT_USERMANAGED &&
      context != MSIINSTALLCONTEXT_USERUNMANAGED)
    return win::ERROR_INVALID_PARAMETER;
  return guarded("getProductInfoEx", [&]() -> unsigned {
    // Product codes ignore case; property names do not.
    std::string key = "p" + std::to_string(context);
    for (char c : productCode) key += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    key += '\x1f' + property;
    // "" unknown product, "-" unknown property, "+value" found.
    std::string answer = machine::cachedRead(key, [&](sqlite3* db) -> std::string {
      machine::Statement q(db,
                           "SELECT p.id, v.value FROM products p LEFT JOIN product_properties v "
                           "ON v.product = p.id AND v.name = ? WHERE p.code = ? AND p.context = ?");
      q.bind(1, property).bind(2, productCode).bind(3, static_cast<int64_t>(context));
      if (!q.step()) return "";
      return q.isNull(1) ? "-" : "+" + q.text(1);
    });
    if (answer.empty()) return win::ERROR_UNKNOWN_PRODUCT;
    if (answer[0] == '-') return win::ERROR_UNKNOWN_PROPERTY;
    return fit(answer.substr(1), value, bufferSize);
  });
}

unsigned getProductInfo(const std::string& productCode, const std::string& property,
                        std::string& value, size_t bufferSize) {
  for (Context c : {MSIINSTALLCONTEXT_MACHINE, MSIINSTALLCONTEXT_USERMANAGED,
                    MSIINSTALLCONTEXT_USERUNMANAGED}) {
    unsigned r = getProductInfoEx(productCode, c, property, value, bufferSize);
    // The first context that knows the product answers, whatever the answer.
    if (r != win::ERROR_UNKNOWN_PRODUCT) return r;
  }
  return win::ERROR_UNKNOWN_PRODUCT;
}

unsigned enumProducts(unsigned index, std::string& productCode) {
  return guarded("enumProducts", [&]() -> unsigned {
    // One code per product in any number of contexts, in the order of first registration.
    std::string answer =
        machine::cachedRead("e" + std::to_string(index), [&](sqlite3* db) -> std::string {
          machine::Statement q(db, "SELECT code FROM products GROUP BY code "
                                   "ORDER BY min(id) LIMIT 1 OFFSET ?");
          q.bind(1, static_cast<int64_t>(index));
          return q.step() ? q.text(0) : std::string();
        });
    if (answer.empty()) return win::ERROR_NO_MORE_ITEMS;
    productCode = answer;
    return win::ERROR_SUCCESS;
  });
}

unsigned backend::configureProduct(const std::string& productCode, int installLevel,
                                   int installState) {
  if (!machine::isProductCode(productCode)) return win::ERROR_INVALID_PARAMETER;
  return guarded("configureProduct", [&]() -> unsigned {
    if (installState == INSTALLSTATE_ABSENT) return machine::removeProduct(productCode, 0);
    // Any other state: an installed product already is in it.
    for (int c : {4, 1, 2})
      if (machine::findProduct(productCode, c)) return win::ERROR_SUCCESS;
    return win::ERROR_UNKNOWN_PRODUCT;
  });
}

unsigned getFileVersion(const std::string& path, std::string& version, size_t bufferSize) {
  return guarded("getFileVersion", [&]() -> unsigned {
    std::string host = machine::toHost(path);
    struct stat st;
    if (host.empty() || stat(host.c_str(), &st) != 0) return win::ERROR_FILE_NOT_FOUND;
    auto found = machine::fileVersion(machine::toWindows(host));
    if (!found) return ERROR_FILE_INVALID;  // no version resource
    return fit(*found, version, bufferSize);
  });
}

}  // namespace platform::msi

namespace platform::machine {

namespace {

std::vector<std::string> listProperty(const Product& product, const char* name) {
  std::vector<std::string> items;
  auto found = product.properties.find(name);
  if (found == product.properties.end()) return items;
  size_t start = 0;
  const std::string& text = found->second;
  while (start <= text.size()) {
    size_t end = std::min(text.find(';', start), text.size());
    if (end > start) items.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return items;
}

// What the product's own remove command left of its keys, files and folders.
void dropInstalledItems(const Product& product) {
  for (const std::string& path : listProperty(product, kInstalledKeysProperty)) {
    registry::Hive hive;
    std::string key;
    if (splitKeyPath(path, hive, key) && !key.empty()) registry::deleteTree(hive, key);
  }
  std::vector<std::string> paths = listProperty(product, kInstalledFilesProperty);
  // Latest first: a folder's files and sub-folders were made after it.
  for (auto path = paths.rbegin(); path != paths.rend(); ++path) {
    // Either fails harmlessly on what is gone already; a folder stays while not empty.
    if (path->back() == '\\')
      files::removeDirectory(*path);
    else
      files::deleteFile(*path);
  }
}

}  // namespace

unsigned removeProduct(const std::string& code, int context) {
  std::optional<Product> product;
  for (int c : {4, 1, 2}) {
    if (context != 0 && c != context) continue;
    if ((product = findProduct(code, c))) break;
  }
  if (!product) return win::ERROR_UNKNOWN_PRODUCT;
  // The store is not held while the command runs: it usually writes the machine itself.
  if (!product->removeCommand.empty()) {
    auto words = process::splitCommandLine(product->removeCommand);
    std::string program = words.empty() ? "" : process::findProgram(words[0]);
    unsigned long exitCode = 0;
    if (program.empty() ||
        !process::startAndWait(program, product->removeCommand, &exitCode, nullptr)) {
      debugOutput("msi::configureProduct - unable to start the remove command of " + code + ": " +
                  product->removeCommand + "\n");
      return ERROR_INSTALL_FAILURE;
    }
    if (exitCode != 0) {
      debugOutput("msi::configureProduct - the remove command of " + code + " ended with " +
                  std::to_string(exitCode) + "\n");
      return ERROR_INSTALL_FAILURE;
    }
  }
  unregisterProduct(product->code, product->context);
  dropInstalledItems(*product);
  return win::ERROR_SUCCESS;
}

}  // namespace platform::machine
