// The path fields of a run without a window: setting a field applies the fields' change rules,
// so that setting the database loads the language list a silent run checks its language in.

#ifndef ORVANO_SESSION_WINDOWLESS_FIELDS_H_
#define ORVANO_SESSION_WINDOWLESS_FIELDS_H_

#include <string>

#include "session/path_fields.h"

namespace orvano {

struct RunContext;

class WindowlessFields final : public SettingsFields {
 public:
  /// `context` must outlive the fields.
  explicit WindowlessFields(RunContext& context) : context_(context) {}
  void SetField(PathField field, const std::string& text) override;

 private:
  RunContext& context_;
};

}  // namespace orvano

#endif  // ORVANO_SESSION_WINDOWLESS_FIELDS_H_
