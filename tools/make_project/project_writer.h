// Writes a project folder from its readable sources: the text database with TidxGroups,
// TidxTexts and the language table, Languages.mdb, the description file, the workbook and the
// template folder, each in the form the Windows tools give them.

#ifndef ORVANO_TOOLS_MAKE_PROJECT_PROJECT_WRITER_H_
#define ORVANO_TOOLS_MAKE_PROJECT_PROJECT_WRITER_H_

#include <string>
#include <vector>

#include "mdb_table.h"
#include "project_sources.h"

namespace orvano {
class FileSystem;
}

namespace orvano::tools {

struct ProjectOptions {
  std::string database_name = "Orvano.mdb";      // a name ending in ".vws" gets TcfgLanguages
  std::string workbook_name = "Collection.xls";  // a name ending in ".xlsx" gets an .xlsx file
  std::string template_folder = "Source_HTML/";
};

/// The paths of a written project.
struct ProjectPaths {
  std::string database;
  std::string description;
  std::string workbook;
  std::string template_folder;    // ends with "/"
  std::string language_database;  // "" when the sources have no language names
};

/// The tables TidxGroups and TidxTexts for `sources`: one group per distinct group path of the
/// address indices (ids from 1 in order of first appearance, top groups under ParentID 0), one
/// text per entry with a Memo column "L" + id per language.
std::vector<MdbTable> TextTables(const ProjectSources& sources);

/// Writes the project into `folder` (ending with "/", created when missing): the database, the
/// description file (cp1252 with CR LF when every character fits, else UTF-8 with a byte-order
/// mark), Languages.mdb when the sources name languages, the workbook and the template folder.
/// Every file is complete or absent. Throws ProgramError for what the writers refuse,
/// UnexpectedError when a file cannot be written.
ProjectPaths WriteProject(FileSystem& fs, const ProjectSources& sources, const std::string& folder,
                          const ProjectOptions& options = {});

}  // namespace orvano::tools

#endif  // ORVANO_TOOLS_MAKE_PROJECT_PROJECT_WRITER_H_
