// LanguageInfo: the language state of a run: the project's language table and list, the
// selected language and its font face and code page.

#ifndef ORVANO_INPUTS_LANGUAGE_INFO_H_
#define ORVANO_INPUTS_LANGUAGE_INFO_H_

#include <string>

#include "support/table.h"

namespace orvano {

struct LanguageInfo {
  std::string language_table;      // LanguageTable: "Tlanguages" or "TcfgLanguages"
  Table language_list;             // LanguageList: column 0 id, 1 display name, 2 font spec
  bool language_db_found = false;  // LanguageDbFound
  std::string language_id;         // LanguageId: the language of the run, as text
  std::string font_name;           // FontName
  std::string code_page = "1252";  // CodePage, as decimal text
};

}  // namespace orvano

#endif  // ORVANO_INPUTS_LANGUAGE_INFO_H_
