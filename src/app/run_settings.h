// RunSettings: the paths of a run and the run mode, filled once at start-up from the command
// line, the user INI file and the built-in defaults; the window edits the paths afterwards.

#ifndef ORVANO_APP_RUN_SETTINGS_H_
#define ORVANO_APP_RUN_SETTINGS_H_

#include <string>
#include <vector>

namespace orvano {

struct RunSettings {
  std::vector<std::string> command_line_args;  // CommandLineArgs
  bool running_on_machine_pc = false;          // RunningOnMachinePC
  bool silent = false;                         // Silent
  bool show_progress = false;                  // ShowProgress
  std::string path_orvano_doc;                 // PathOrvanoDOC
  std::string path_orvano_db;                  // PathOrvanoDB
  std::string path_xl_collection;              // PathXLCollection
  std::string path_html_source_folder;         // PathHTMLSourceFolder, ends with "/"
  std::string path_destination_folder;         // PathDestinationFolder, ends with "/"
  std::string path_language_db;                // PathLanguageDB
};

}  // namespace orvano

#endif  // ORVANO_APP_RUN_SETTINGS_H_
