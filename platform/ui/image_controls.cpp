#include "platform/ui/image_controls.h"

#include <array>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <mutex>
#include <sstream>

#include "platform/files.h"

namespace ui {

namespace {

std::mutex g_resMutex;
std::string g_resDir;
std::vector<std::string> g_defaultDirs;

uint32_t crc32(const unsigned char* p, size_t n) {
  static const std::array<uint32_t, 256> table = [] {
    std::array<uint32_t, 256> t{};
    for (uint32_t i = 0; i < 256; ++i) {
      uint32_t c = i;
      for (int k = 0; k < 8; ++k) c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[i] = c;
    }
    return t;
  }();
  uint32_t c = 0xFFFFFFFFu;
  for (size_t i = 0; i < n; ++i) c = table[(c ^ p[i]) & 0xFF] ^ (c >> 8);
  return c ^ 0xFFFFFFFFu;
}

uint32_t bigEndian(const unsigned char* p) {
  return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}

// Whole file, or nothing when it cannot be read.
std::optional<std::string> readHostFile(const std::string& path) {
  std::ifstream in(std::filesystem::path(std::u8string(path.begin(), path.end())), std::ios::binary);
  if (!in) return std::nullopt;
  return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace

std::optional<ImageSize> pngSize(const std::string& data) {
  static const unsigned char kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  // Signature, then the IHDR chunk: length 13, type, 13 bytes of data, CRC.
  if (data.size() < 8 + 4 + 4 + 13 + 4) return std::nullopt;
  const auto* p = reinterpret_cast<const unsigned char*>(data.data());
  if (!std::equal(kSignature, kSignature + 8, p)) return std::nullopt;
  if (bigEndian(p + 8) != 13 || std::string(data, 12, 4) != "IHDR") return std::nullopt;
  if (crc32(p + 12, 4 + 13) != bigEndian(p + 12 + 4 + 13)) return std::nullopt;
  const uint32_t width = bigEndian(p + 16), height = bigEndian(p + 20);
  const int depth = p[24], colour = p[25];
  if (width == 0 || height == 0 || width > 0x7FFFFFFF || height > 0x7FFFFFFF)
    return std::nullopt;
  bool depthOk = false;
  switch (colour) {
    case 0: depthOk = depth == 1 || depth == 2 || depth == 4 || depth == 8 || depth == 16; break;
    case 3: depthOk = depth == 1 || depth == 2 || depth == 4 || depth == 8; break;
    case 2: case 4: case 6: depthOk = depth == 8 || depth == 16; break;
    default: break;
  }
  if (!depthOk || p[26] != 0 || p[27] != 0 || p[28] > 1) return std::nullopt;
  return ImageSize{static_cast<int>(width), static_cast<int>(height)};
}

void setResourceDir(const std::string& dir) {
  std::lock_guard<std::mutex> lock(g_resMutex);
  g_resDir = dir;
}

void setDefaultResourceDirs(std::vector<std::string> dirs) {
  std::lock_guard<std::mutex> lock(g_resMutex);
  g_defaultDirs = std::move(dirs);
}

std::string findResource(const std::string& name) {
  if (name.empty()) return {};
  std::vector<std::string> dirs;
  {
    std::lock_guard<std::mutex> lock(g_resMutex);
    if (!g_resDir.empty()) dirs.push_back(g_resDir);
    if (const char* env = std::getenv("CORVANTA_RES_DIR")) dirs.push_back(env);
    dirs.insert(dirs.end(), g_defaultDirs.begin(), g_defaultDirs.end());
  }
  const std::string names[] = {name,           name + ".png",         name + ".bmp",
                               "png/" + name + ".png", "bitmap/" + name + ".bmp",
                               "images/" + name + ".png"};
  std::error_code ec;
  for (const std::string& dir : dirs)
    for (const std::string& file : names) {
      const auto path = std::filesystem::path(std::u8string(dir.begin(), dir.end())) /
                        std::filesystem::path(std::u8string(file.begin(), file.end()));
      if (std::filesystem::is_regular_file(path, ec)) {
        const std::u8string utf8 = path.u8string();
        return std::string(utf8.begin(), utf8.end());
      }
    }
  return {};
}

mxImageButton::mxImageButton(Window& window, int id, Rect rect)
    : mxImageButton(window, id, rect, ControlKind::ImageButton) {}

mxImageButton::mxImageButton(Window& window, int id, Rect rect, ControlKind kind)
    : window_(window), id_(id) {
  if (!window_.control(id_)) window_.addControl(id_, kind, rect);
}

int mxImageButton::width() const {
  const Control* c = control();
  return c ? c->imageWidth : 0;
}

int mxImageButton::height() const {
  const Control* c = control();
  return c ? c->imageHeight : 0;
}

int mxImageButton::load(const std::string& data, const std::string& name) {
  Control* c = control();
  if (!c) return 0;
  const std::optional<ImageSize> size = pngSize(data);
  if (!size) return 0;
  c->image = name;
  c->imageData = std::make_shared<const std::string>(data);
  c->imageWidth = size->width;
  c->imageHeight = size->height;
  // Resized to the picture where it stands.
  c->rect.right = c->rect.left + size->width;
  c->rect.bottom = c->rect.top + size->height;
  window_.controlChanged(id_);
  return 1;
}

int mxImageButton::loadPngResource(int number) {
  Control* c = control();
  if (!c) return -1;
  c->image.clear();
  c->imageData.reset();
  c->imageWidth = c->imageHeight = 0;
  window_.controlChanged(id_);
  const std::string name = std::to_string(number);
  const std::string path = findResource(name + ".png");
  const std::optional<std::string> data = path.empty() ? std::nullopt : readHostFile(path);
  if (!data || data->empty()) return -1;
  return load(*data, name);
}

int mxImageButton::loadImageFile(const std::string& path) {
  Control* c = control();
  if (!c) return 0;
  c->image.clear();
  c->imageData.reset();
  c->imageWidth = c->imageHeight = 0;
  window_.controlChanged(id_);
  std::string data;
  if (!platform::files::readFile(path, data)) return 0;
  return load(data, path);
}

mxImageStatic::mxImageStatic(Window& window, int id, Rect rect)
    : mxImageButton(window, id, rect, ControlKind::ImageStatic) {}

Control& mxComponentInstallHeader::create(Window& owner, int id, Rect rect,
                                         const std::string& title, const std::string& subtitle,
                                         int bitmap) {
  Control& header = owner.control(id) ? *owner.control(id)
                                      : owner.addControl(id, ControlKind::Header, rect);
  header.rect = rect;
  header.text = title;
  header.subtitle = subtitle;
  header.image = std::to_string(bitmap);
  header.visible = true;
  owner.controlChanged(id);
  return header;
}

void DDynamicButton::setOwner(Window* owner, uint32_t first, uint32_t second) {
  if (Control* c = control()) {
    c->clickTarget = owner;
    c->clickFirst = first;
    c->clickSecond = second;
  }
}

}  // namespace ui
