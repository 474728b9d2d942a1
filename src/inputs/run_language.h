// RunLanguage: the language the pages of a run are written in: its id in the project's
// language table, the font face its font specification names, and the code page its texts are
// re-decoded through. Chosen once per run by the driver; read by the page builders.

#ifndef ORVANO_INPUTS_RUN_LANGUAGE_H_
#define ORVANO_INPUTS_RUN_LANGUAGE_H_

#include <optional>
#include <string>

namespace orvano {

struct RunLanguage {
  std::string id;                       // as the command line or the window gave it
  std::string font_name;                // the face of the language's font specification
  std::optional<int> code_page = 1252;  // none: texts are kept as stored
};

}  // namespace orvano

#endif  // ORVANO_INPUTS_RUN_LANGUAGE_H_
