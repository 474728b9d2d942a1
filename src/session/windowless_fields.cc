#include "session/windowless_fields.h"

namespace orvano {

void WindowlessFields::SetField(PathField field, const std::string& text) {
  static_cast<void>(TakeFieldText(context_, field, text));
}

}  // namespace orvano
