#pragma once
// The little JSON the station reports need: writing strings, and reading a report back.
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace json {

// A string as a JSON literal, quotes included.
std::string quote(const std::string& text);

struct Value {
  enum class Kind { Null, Bool, Number, String, Array, Object } kind = Kind::Null;
  bool boolean = false;
  double number = 0;
  std::string string;
  std::vector<Value> array;
  std::map<std::string, Value> object;

  // A member's string, or empty when the member is missing or not a string.
  std::string text(const std::string& member) const;
  const Value* find(const std::string& member) const;
};

// nullopt when the text is not one well-formed JSON value (nesting beyond 64 levels
// included); error then says where.
std::optional<Value> parse(const std::string& text, std::string* error = nullptr);

}  // namespace json
