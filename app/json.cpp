#include "app/json.h"

#include <cstdio>
#include <cstdlib>

#include "platform/text_encoding.h"

namespace json {

std::string quote(const std::string& text) {
  std::string out = "\"";
  for (unsigned char c : text) {
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (c < 0x20) {
          char buffer[8];
          std::snprintf(buffer, sizeof buffer, "\\u%04x", c);
          out += buffer;
        } else {
          out += static_cast<char>(c);
        }
    }
  }
  return out + "\"";
}

std::string Value::text(const std::string& member) const {
  const Value* v = find(member);
  return v && v->kind == Kind::String ? v->string : std::string();
}

const Value* Value::find(const std::string& member) const {
  auto it = object.find(member);
  return it == object.end() ? nullptr : &it->second;
}

namespace {

class Parser {
 public:
  explicit Parser(const std::string& text) : s_(text) {}

  bool value(Value& out, int depth) {
    skip();
    if (depth > 64 || at_ >= s_.size()) return false;
    char c = s_[at_];
    if (c == '{') return object(out, depth);
    if (c == '[') return array(out, depth);
    if (c == '"') {
      out.kind = Value::Kind::String;
      return string(out.string);
    }
    if (word("true")) return out.kind = Value::Kind::Bool, out.boolean = true, true;
    if (word("false")) return out.kind = Value::Kind::Bool, true;
    if (word("null")) return out.kind = Value::Kind::Null, true;
    return number(out);
  }
  bool end() {
    skip();
    return at_ == s_.size();
  }
  size_t at() const { return at_; }

 private:
  void skip() {
    while (at_ < s_.size() && (s_[at_] == ' ' || s_[at_] == '\n' || s_[at_] == '\r' || s_[at_] == '\t'))
      ++at_;
  }
  bool word(const char* w) {
    std::string t = w;
    if (s_.compare(at_, t.size(), t) != 0) return false;
    at_ += t.size();
    return true;
  }
  bool number(Value& out) {
    const char* begin = s_.c_str() + at_;
    char* stop = nullptr;
    out.number = std::strtod(begin, &stop);
    if (stop == begin) return false;
    at_ += static_cast<size_t>(stop - begin);
    out.kind = Value::Kind::Number;
    return true;
  }

  bool string(std::string& out) {
    ++at_;  // the opening quote
    while (at_ < s_.size()) {
      char c = s_[at_++];
      if (c == '"') return true;
      if (c != '\\') {
        out += c;
        continue;
      }
      if (at_ >= s_.size()) return false;
      char e = s_[at_++];
      switch (e) {
        case 'n': out += '\n'; break;
        case 'r': out += '\r'; break;
        case 't': out += '\t'; break;
        case 'b': out += '\b'; break;
        case 'f': out += '\f'; break;
        case 'u': {
          if (at_ + 4 > s_.size()) return false;
          char* stop = nullptr;
          std::string hex = s_.substr(at_, 4);
          unsigned cp = static_cast<unsigned>(std::strtoul(hex.c_str(), &stop, 16));
          if (stop != hex.c_str() + 4) return false;
          at_ += 4;
          platform::text::appendUtf8(out, cp);
          break;
        }
        default: out += e;
      }
    }
    return false;
  }
  bool array(Value& out, int depth) {
    out.kind = Value::Kind::Array;
    ++at_;
    skip();
    if (at_ < s_.size() && s_[at_] == ']') return ++at_, true;
    for (;;) {
      Value item;
      if (!value(item, depth + 1)) return false;
      out.array.push_back(std::move(item));
      skip();
      if (at_ >= s_.size()) return false;
      if (s_[at_] == ']') return ++at_, true;
      if (s_[at_++] != ',') return false;
    }
  }
  bool object(Value& out, int depth) {
    out.kind = Value::Kind::Object;
    ++at_;
    skip();
    if (at_ < s_.size() && s_[at_] == '}') return ++at_, true;
    for (;;) {
      skip();
      std::string key;
      if (at_ >= s_.size() || s_[at_] != '"' || !string(key)) return false;
      skip();
      if (at_ >= s_.size() || s_[at_++] != ':') return false;
      Value item;
      if (!value(item, depth + 1)) return false;
      out.object[key] = std::move(item);
      skip();
      if (at_ >= s_.size()) return false;
      if (s_[at_] == '}') return ++at_, true;
      if (s_[at_++] != ',') return false;
    }
  }

  const std::string& s_;
  size_t at_ = 0;
};

}  // namespace

std::optional<Value> parse(const std::string& text, std::string* error) {
  Parser p(text);
  Value v;
  if (p.value(v, 0) && p.end()) return v;
  if (error) *error = "not well-formed JSON near byte " + std::to_string(p.at());
  return std::nullopt;
}

}  // namespace json
