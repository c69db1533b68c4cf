#include "migration/older_data.h"

#include <cctype>

#include "platform/file_helpers.h"
#include "platform/files.h"
#include "platform/shell.h"
#include "platform/win_types.h"

namespace files = platform::files;

namespace migration {

namespace {

std::string lowerAscii(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

bool allDigits(const std::string& text) {
  if (text.empty()) return false;
  for (char c : text)
    if (!std::isdigit(static_cast<unsigned char>(c))) return false;
  return true;
}

bool isSeparator(char c) { return c == '\\' || c == '/'; }

const char kBom[] = "\xEF\xBB\xBF";

// The section name when the line is a header, else nothing.
bool sectionName(const std::string& line, bool first, std::string& name) {
  std::string text = line;
  if (first && text.compare(0, 3, kBom) == 0) text.erase(0, 3);
  size_t begin = text.find_first_not_of(" \t");
  if (begin == std::string::npos) return false;
  size_t end = text.find_last_not_of(" \t");
  text = text.substr(begin, end - begin + 1);
  if (text.size() <= 2 || text.front() != '[' || text.back() != ']') return false;
  name = text.substr(1, text.size() - 2);
  return true;
}

bool isRewrittenSection(const std::string& name) {
  std::string lower = lowerAscii(name);
  return lower == "config.archivehistory" || lower == "config.profilehistory" ||
         lower == "config";
}

// The first occurrence of the old folder as a whole folder inside the line (something before
// it and a separator after it) gives way to the new folder, copied literally.
std::string rewriteLine(const std::string& line, const std::string& search,
                        const std::string& replacement) {
  std::string lower = lowerAscii(line);
  size_t n = search.size();
  for (size_t p = lower.find(search); p != std::string::npos; p = lower.find(search, p + 1)) {
    if (p > 0 && p + n < line.size() && isSeparator(line[p + n]))
      return line.substr(0, p) + replacement + line.substr(p + n);
  }
  return line;
}

void deleteTemporary(const std::string& path) {
  if (fileExists(path)) files::setAttributes(path, win::FILE_ATTRIBUTE_ARCHIVE);
  files::deleteFile(path);
}

}  // namespace

bool parseCurrentVersionNumber(const std::string& folderName, int& major, int& minor) {
  major = minor = 0;
  size_t blank = folderName.rfind(' ');
  size_t point = folderName.rfind('.');
  if (blank == std::string::npos || point == std::string::npos || point < blank) return false;
  std::string majorText = folderName.substr(blank + 1, point - blank - 1);
  std::string minorText = folderName.substr(point + 1);
  if (!allDigits(majorText) || !allDigits(minorText) || majorText.size() > 6 ||
      minorText.size() > 6)
    return false;
  major = std::stoi(majorText);
  minor = std::stoi(minorText);
  return true;
}

std::vector<std::string> candidateOlderVersionFolders(int major, int minor) {
  std::vector<std::string> names;
  for (int i = 0; i < minor; ++i)
    names.push_back("Corvanta " + std::to_string(major) + "." + std::to_string(i));
  for (int family : {9, 10})
    for (int i = 0; i <= 3; ++i)
      names.push_back("Corvanta " + std::to_string(family) + "." + std::to_string(i));
  return names;
}

std::string getDocumentsFolder() {
  std::string path;
  if (!platform::shell::getFolderPath(platform::shell::CSIDL_PERSONAL, path)) return "";
  return path;
}

std::vector<std::string> listOlderVersionFolders(const std::string& documentsFolder) {
  int major = 0;
  int minor = 0;
  parseCurrentVersionNumber(kCurrentVersionFolder, major, minor);
  std::vector<std::string> found;
  for (const std::string& name : candidateOlderVersionFolders(major, minor))
    if (fileExists(documentsFolder + "\\" + name)) found.push_back(name);
  return found;
}

bool isOlderDataImportNeeded(const std::string& documentsFolder) {
  if (fileExists(documentsFolder + "\\" + kCurrentVersionFolder)) return false;
  return !listOlderVersionFolders(documentsFolder).empty();
}

std::string rewriteCorvantaIniText(const std::string& text, const std::string& sourceFolder,
                                   const std::string& targetFolder) {
  const std::string search = lowerAscii(sourceFolder);
  std::string out;
  out.reserve(text.size());
  bool rewriting = false;
  bool first = true;
  size_t start = 0;
  while (start < text.size()) {
    size_t newline = text.find('\n', start);
    size_t next = newline == std::string::npos ? text.size() : newline + 1;
    size_t end = newline == std::string::npos ? text.size() : newline;
    if (end > start && text[end - 1] == '\r') --end;  // CRLF: the CR belongs to the ending
    std::string line = text.substr(start, end - start);
    std::string ending = text.substr(end, next - end);
    std::string name;
    if (sectionName(line, first, name)) rewriting = isRewrittenSection(name);
    if (rewriting && !search.empty()) line = rewriteLine(line, search, targetFolder);
    out += line;
    out += ending;
    first = false;
    start = next;
  }
  return out;
}

bool rewriteCorvantaIni(const std::string& targetFolder, const std::string& sourceFolder) {
  const std::string iniPath = targetFolder + "\\Corvanta.ini";
  const std::string tmpPath = targetFolder + "\\Corvanta.initmp";
  std::string text;
  if (!files::readFile(iniPath, text)) return false;
  std::string rewritten = rewriteCorvantaIniText(text, sourceFolder, targetFolder);
  if (rewritten == text) return true;
  // Stage the new text beside the file, check it, and only then replace the original.
  std::string check;
  if (!files::writeFile(tmpPath, rewritten) || !files::readFile(tmpPath, check) ||
      check != rewritten || !moveFileReplacing(iniPath, tmpPath)) {
    deleteTemporary(tmpPath);
    return false;
  }
  return true;
}

bool templateFolders(const std::string& runtimeFolder, const std::string& olderVersionFolder,
                     std::string& oldTemplates, std::string& newTemplates) {
  const std::string tail = std::string("\\") + kCurrentVersionFolder + "\\Runtime\\";
  if (runtimeFolder.size() <= tail.size() ||
      lowerAscii(runtimeFolder.substr(runtimeFolder.size() - tail.size())) != lowerAscii(tail))
    return false;
  std::string root = runtimeFolder.substr(0, runtimeFolder.size() - tail.size());
  newTemplates = runtimeFolder + "Templates";
  oldTemplates = root + "\\" + olderVersionFolder + "\\Runtime\\Templates";
  return true;
}

int progressPercent(long count, long total) {
  if (total <= 0) return 100;
  if (count > total) count = total;
  if (count < 0) count = 0;
  return static_cast<int>(count * 100 / total);
}

}  // namespace migration
