// RunInputs: everything a run reads before it builds its pages, as immutable values: the
// description file, the language, the texts, the workbook's sheet list and direct-cell sheet,
// and the templates. The driver fills it once; the page builders take it by const reference.

#ifndef ORVANO_TEMPLATES_RUN_INPUTS_H_
#define ORVANO_TEMPLATES_RUN_INPUTS_H_

#include <string>

#include "inputs/machine_description.h"
#include "inputs/run_language.h"
#include "inputs/sheet_list.h"
#include "inputs/text_table.h"
#include "support/table.h"
#include "templates/template_set.h"

namespace orvano {

struct RunInputs {
  std::string template_folder;     // ends with "/"
  std::string destination_folder;  // ends with "/"
  std::string description_file;    // the paths of the description file and the workbook, as
  std::string workbook_file;       // given: where notes say they come from
  MachineDescription description;
  RunLanguage language;
  TextTable texts;
  SheetList sheets;
  Table direct_cells;  // the sheet "CommonDirect"
  TemplateSet templates;
};

}  // namespace orvano

#endif  // ORVANO_TEMPLATES_RUN_INPUTS_H_
