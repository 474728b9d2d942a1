#include "app/windowless_fields.h"

#include "app/run_context.h"
#include "inputs/languages.h"
#include "support/file_system.h"

namespace orvano {

void WindowlessFields::SetField(PathField field, const std::string& text) {
  if (field != PathField::kOrvanoDb || text.empty() || !context_.fs.FileExists(text)) return;
  context_.settings.path_orvano_db = text;
  LanguageInfo& language = context_.language;
  language.language_table = LanguageTableFor(text, language.language_table);
  language.language_list = GetLanguages_Orvano_MDB(context_);
}

}  // namespace orvano
