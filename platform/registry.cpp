// Value helpers of the registry port, shared by every backend.
#include "platform/registry.h"

namespace platform::registry {

Value Value::dword(uint32_t v) {
  std::string bytes(4, '\0');
  for (int i = 0; i < 4; ++i) bytes[i] = static_cast<char>((v >> (8 * i)) & 0xff);
  return {REG_DWORD, bytes};
}

uint32_t Value::asDword() const {
  // Fewer than four bytes read as the little-endian number they hold.
  uint32_t v = 0;
  for (size_t i = 0; i < data.size() && i < 4; ++i)
    v |= static_cast<uint32_t>(static_cast<unsigned char>(data[i])) << (8 * i);
  return v;
}

}  // namespace platform::registry
