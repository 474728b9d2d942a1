#include "templates/page_text.h"

#include <cstring>

#include "support/text_codec.h"

namespace orvano {

// Most pages are larger: start with room for a few thousand lines.
PageText::PageText() { text_.reserve(256 * 1024); }

std::string PageText::Bytes() const {
  // Every UTF-8 byte gives at most two bytes.
  std::string bytes(2 + 2 * text_.size(), '\0');
  std::memcpy(bytes.data(), "\xFF\xFE", 2);
  bytes.resize(
      static_cast<std::size_t>(WriteUtf8AsUtf16Le(text_, bytes.data() + 2) - bytes.data()));
  return bytes;
}

}  // namespace orvano
