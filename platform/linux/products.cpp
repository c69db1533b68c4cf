// Windows Installer registrations of the machine.
#include <cctype>

#include "platform/linux/machine_store.h"
#include "platform/linux/products.h"
#include "platform/machine.h"

namespace platform::machine {

bool isProductCode(const std::string& code) {
  // {XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}
  if (code.size() != 38 || code.front() != '{' || code.back() != '}') return false;
  for (size_t i = 1; i < 37; ++i) {
    bool dash = i == 9 || i == 14 || i == 19 || i == 24;
    if (dash ? code[i] != '-' : !std::isxdigit(static_cast<unsigned char>(code[i]))) return false;
  }
  return true;
}

void registerProduct(const Product& product) {
  if (!isProductCode(product.code))
    throw MachineError("invalid product code '" + product.code +
                       "' (expected {XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX})");
  if (product.context != 1 && product.context != 2 && product.context != 4)
    throw MachineError("invalid installation context " + std::to_string(product.context) +
                       " (1 user-managed, 2 user-unmanaged, 4 machine)");
  writeStore([&](sqlite3* db) {
    // Registering again is a reinstall: the new description replaces the old one.
    Statement find(db, "SELECT id FROM products WHERE code=? AND context=?");
    find.bind(1, product.code).bind(2, static_cast<int64_t>(product.context));
    if (find.step()) {
      int64_t id = find.number(0);
      Statement(db, "DELETE FROM product_properties WHERE product=?").bind(1, id).run();
      Statement(db, "DELETE FROM products WHERE id=?").bind(1, id).run();
    }
    Statement insert(db, "INSERT INTO products(code, context, remove_command) VALUES(?, ?, ?)");
    insert.bind(1, product.code).bind(2, static_cast<int64_t>(product.context));
    insert.bind(3, product.removeCommand).run();
    int64_t id = sqlite3_last_insert_rowid(db);
    for (const auto& [name, value] : product.properties) {
      Statement p(db, "INSERT INTO product_properties(product, name, value) VALUES(?, ?, ?)");
      p.bind(1, id).bind(2, name).bind(3, value).run();
    }
  });
}

bool unregisterProduct(const std::string& code, int context) {
  bool removed = false;
  writeStore([&](sqlite3* db) {
    Statement find(db, "SELECT id FROM products WHERE code=? AND context=?");
    find.bind(1, code).bind(2, static_cast<int64_t>(context));
    if (!find.step()) return;
    int64_t id = find.number(0);
    Statement(db, "DELETE FROM product_properties WHERE product=?").bind(1, id).run();
    Statement(db, "DELETE FROM products WHERE id=?").bind(1, id).run();
    removed = true;
  });
  return removed;
}

namespace {

// The product on q's current row (id, code, context, remove_command) with its properties.
Product productAt(sqlite3* db, Statement& q) {
  Product p;
  p.code = q.text(1);
  p.context = static_cast<int>(q.number(2));
  p.removeCommand = q.text(3);
  Statement props(db, "SELECT name, value FROM product_properties WHERE product=?");
  props.bind(1, q.number(0));
  while (props.step()) p.properties[props.text(0)] = props.text(1);
  return p;
}

}  // namespace

std::vector<Product> products() {
  std::vector<Product> list;
  readStore([&](sqlite3* db) {
    Statement q(db, "SELECT id, code, context, remove_command FROM products ORDER BY id");
    while (q.step()) list.push_back(productAt(db, q));
  });
  return list;
}

std::optional<Product> findProduct(const std::string& code, int context) {
  std::optional<Product> found;
  readStore([&](sqlite3* db) {
    Statement q(db, "SELECT id, code, context, remove_command FROM products "
                    "WHERE code=? AND context=?");
    q.bind(1, code).bind(2, static_cast<int64_t>(context));
    if (q.step()) found = productAt(db, q);
  });
  return found;
}

}  // namespace platform::machine
