#include "platform/bytes.h"

namespace sb {

std::string ByteReader::ZeroTerminated(std::uint64_t offset) const {
  std::string text;
  for (std::uint64_t i = offset; i < bytes_.size() && bytes_[i] != 0; ++i) {
    text.push_back(static_cast<char>(bytes_[i]));
  }
  return text;
}

}  // namespace sb
