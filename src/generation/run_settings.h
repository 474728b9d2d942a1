// RunSettings: the paths of a run and the run mode, filled once at start-up from the command
// line, the user INI file and the built-in defaults; the window edits the paths afterwards.

#ifndef ORVANO_GENERATION_RUN_SETTINGS_H_
#define ORVANO_GENERATION_RUN_SETTINGS_H_

#include <string>
#include <vector>

namespace orvano {

struct RunSettings {
  std::vector<std::string> command_line_args;
  bool is_running_on_machine_pc = false;  // started from the install root's tools folder
  bool silent = false;                    // no window: errors end the run
  bool show_progress = false;             // silent runs: show the progress
  std::string language_id;      // the language(s) of the pages (key LangID: an id, "ALL" or a list)
  std::string jobs;             // the threads to build with (key Jobs); "" for the machine's count
  bool check_only = false;      // key Check: build every page in memory, write nothing
  bool strict = false;          // key Strict: ordinary notes make the exit status 3 too
  std::string report_file;      // key Report: where the JSON run report goes; "" for none
  std::string export_file;      // key Export: where the rows go as .json or .csv; "" for none
  bool search = false;          // key Search: each language's folder gets the search page
  std::string compare_file;     // key Compare: the export to list the changes against; "" for none
  std::string program_version;  // what the export names as the program's version
  // The paths, as the keys PathOrvanoDOC, PathOrvanoDB, PathXLCollection, PathHTMLSourceFolder,
  // PathDestinationFolder and PathLanguageDB name them; folders end with "/".
  std::string description_file;
  std::string database_file;
  std::string workbook_file;
  std::string template_folder;
  std::string destination_folder;
  std::string language_database_file;  // "" when there is none
};

}  // namespace orvano

#endif  // ORVANO_GENERATION_RUN_SETTINGS_H_
