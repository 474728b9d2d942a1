// A project in readable form: texts as a table of address index and one text per language, the
// language tables, the description file as UTF-8, the workbook as sheets and the templates as
// files. The project writer turns it into a real project folder; tests and benchmarks build it
// in memory, the make_project command reads it from a folder of text files.

#ifndef ORVANO_TOOLS_MAKE_PROJECT_PROJECT_SOURCES_H_
#define ORVANO_TOOLS_MAKE_PROJECT_PROJECT_SOURCES_H_

#include <optional>
#include <string>
#include <vector>

#include "xls_writer/xls_writer.h"

namespace orvano {
class FileSystem;
}

namespace orvano::tools {

/// One text: its dot-separated address index (group names, then the text's own name) and its
/// text per language, in the order of ProjectSources::language_ids (nullopt: null in the
/// database).
struct TextEntry {
  std::string address_index;
  std::vector<std::optional<std::string>> texts;
};

/// A row of the project's language table: the language id and its font specification.
struct ProjectLanguage {
  long lcid = 0;
  std::optional<std::string> font;
};

/// A row of the language database's table LookUpLanguages.
struct LanguageName {
  long language = 0;
  std::string name;
  std::optional<long> code_page;
  std::string font = "1";  // rows whose FONT is "0" do not name languages
};

/// A file of the template folder: text files (".htm") are written as UTF-16LE with a
/// byte-order mark and CR LF line ends; other files are copied as they are.
struct TemplateFile {
  std::string name;
  std::string bytes;  // UTF-8 text, or the raw bytes of a binary file
};

struct ProjectSources {
  std::vector<std::string> language_ids;  // the text columns: "1031" gives column L1031
  std::vector<TextEntry> texts;
  std::vector<ProjectLanguage> languages;
  std::optional<std::vector<LanguageName>> language_names;  // nullopt: no Languages.mdb
  std::string orvano_doc;                                   // UTF-8
  XlsWorkbook workbook;
  std::vector<TemplateFile> templates;
};

/// Reads a project's sources from `folder` (ending with "/"):
///   texts.tsv           header "AddrIndex" + one language id per column; then one text a line
///   languages.tsv       header "LCID<TAB>Font"; then one language a line
///   language_names.tsv  optional; header "Language<TAB>Name<TAB>CodePage<TAB>FONT"
///   Orvano.doc          the description file, UTF-8
///   workbook/*.txt      one sheet file each (xls_writer's format), in file-name order
///   templates/*         the template folder's files
/// Fields are tab-separated; "\N" is null; "\t", "\n", "\r", "\\" are escapes.
/// Throws ProgramError naming the file and line on a missing file or a malformed line.
ProjectSources ReadProjectSources(FileSystem& fs, const std::string& folder);

/// The syntax above, for the command's --help.
const char* ProjectSourcesHelp();

}  // namespace orvano::tools

#endif  // ORVANO_TOOLS_MAKE_PROJECT_PROJECT_SOURCES_H_
