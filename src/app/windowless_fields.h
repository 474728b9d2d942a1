// The path fields of a run without a window. Setting the database field does what the window's
// database field does on a change: it chooses the language table by the file's ending and loads
// the language list, which a silent run needs to check its language.

#ifndef ORVANO_APP_WINDOWLESS_FIELDS_H_
#define ORVANO_APP_WINDOWLESS_FIELDS_H_

#include <string>

#include "app/settings_loader.h"

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

#endif  // ORVANO_APP_WINDOWLESS_FIELDS_H_
