#include "content/template_versions.h"

#include <cstdlib>

#include "platform/files.h"
#include "platform/portable.h"
#include "platform/win_types.h"

namespace {

long leadingNumber(const std::string& part) {
  long n = 0;
  for (char c : part) {
    if (c < '0' || c > '9') break;
    n = n * 10 + (c - '0');
    if (n > 0x7FFFFFFF) return 0x7FFFFFFF;  // saturated: a label is no place for more
  }
  return n;
}

}  // namespace

std::optional<Version> parseVersion(const std::string& text) {
  size_t a = text.find('.');
  size_t b = a == std::string::npos ? a : text.find('.', a + 1);
  size_t c = b == std::string::npos ? b : text.find('.', b + 1);
  if (text.empty() || c == std::string::npos) return std::nullopt;
  const std::string parts[4] = {text.substr(0, a), text.substr(a + 1, b - a - 1),
                                text.substr(b + 1, c - b - 1), text.substr(c + 1)};
  Version v{};
  for (int i = 0; i < 4; ++i) {
    if (parts[i].empty() || parts[i].size() > 511) return std::nullopt;
    v[static_cast<size_t>(i)] = leadingNumber(parts[i]);
  }
  return v;
}

std::string versionText(const Version& v) {
  return std::to_string(v[0]) + "." + std::to_string(v[1]) + "." + std::to_string(v[2]) + "." +
         std::to_string(v[3]);
}

bool isPlainVersionLabel(const std::string& label) {
  int dots = 0;
  bool digit = false;
  for (char c : label) {
    if (c == '.') {
      if (!digit) return false;
      ++dots;
      digit = false;
    } else if (c >= '0' && c <= '9') {
      digit = true;
    } else {
      return false;
    }
  }
  return dots == 3 && digit;
}

std::optional<std::string> findInstalledTemplateVersion(const std::string& templatesFolder,
                                                        const std::string& className) {
  std::optional<Version> best;
  for (const auto& found : platform::files::find(templatesFolder + className + "_*")) {
    if (found.name == "." || found.name == ".." ||
        !(found.attributes & win::FILE_ATTRIBUTE_DIRECTORY))
      continue;
    size_t last = found.name.rfind('_');
    // The class is the whole name before the version: "Grid_Extra_1.0.0.0" is no "Grid".
    if (last == std::string::npos || !platform::equalsNoCase(found.name.substr(0, last), className))
      continue;
    auto v = parseVersion(found.name.substr(last + 1));
    if (v && (!best || *v > *best)) best = v;
  }
  if (!best) return std::nullopt;
  return versionText(*best);
}

TemplateState evaluateTemplate(const std::optional<std::string>& installed,
                               const std::string& versionLabel) {
  if (!installed) return TemplateState::Outdated;
  if (platform::equalsNoCase(*installed, versionLabel)) return TemplateState::Current;
  auto a = parseVersion(*installed), b = parseVersion(versionLabel);
  if (!a || !b || *a == *b) return TemplateState::Current;
  return *a < *b ? TemplateState::Outdated : TemplateState::Newer;
}
