// The project's languages and their code pages: the languages the main window offers (ids and
// font specifications from the project database, display names from the language database
// Languages.mdb) and the code page of the language chosen for a run. Each call reads the
// databases anew; failures are reported to an ErrorSink under the procedure texts below.

#ifndef ORVANO_INPUTS_LANGUAGES_H_
#define ORVANO_INPUTS_LANGUAGES_H_

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "support/table.h"

namespace orvano {

class ErrorSink;
class FileSystem;

/// The procedure texts of the reports of ReadProjectLanguages and ReadCodePage.
inline constexpr std::string_view kReadLanguagesProcedure = "GetLanguages_Orvano_MDB";
inline constexpr std::string_view kReadCodePageProcedure = "GetCodePage";

/// The name of the language database beside the program or under the installation root.
inline constexpr char kLanguageDbName[] = "Languages.mdb";

/// One language of the project, as the window lists it.
struct ProjectLanguage {
  Cell id;                   // the record's LCID, as stored
  std::string display_name;  // its name in the language database, or else the id as text
  std::string font_spec;     // the record's Font, as text ("" when null)
};

/// The language table of the project database at `database_path`: "Tlanguages" when the path,
/// without surrounding blanks, ends in "MDB" and "TcfgLanguages" when it ends in "VWS" (letter
/// case ignored); `current` for any other ending.
std::string LanguageTableFor(std::string_view database_path, std::string_view current);

/// True when the two language ids are the same: compared as numbers when both read as one,
/// else as exact texts; a null id equals nothing.
bool SameLanguageId(const Cell& a, const Cell& b);

/// The path of the language database in `folder` (which ends with "/"), its name looked up
/// without regard to letter case; nullopt when there is none.
std::optional<std::string> FindLanguageDatabase(FileSystem& fs, const std::string& folder);

/// The project's languages, one per record of the table `language_table` of the project
/// database at `database_path`, in record order. The display name is the Name of the first
/// LookUpLanguages row (FONT not "0") of `language_database` with that language id, or else
/// the id itself; without a language database every name is the id.
/// Errors (a database that cannot be read, a missing table or field, a language table without
/// records) are reported to `errors` under kReadLanguagesProcedure; the list then comes back as
/// far as it was built. Throws EndProgram when `errors` ends the program.
std::vector<ProjectLanguage> ReadProjectLanguages(
    const std::string& database_path, std::string_view language_table,
    const std::optional<std::string>& language_database, ErrorSink& errors);

/// The code page of the first row of LookUpLanguages in the database `language_database` whose
/// Language equals `language_id` as a number; nullopt when there is none or its CodePage names
/// no code page (see ParseCodePage). Errors (a database that cannot be read, an id that is not a
/// number, a null CodePage) are reported to `errors` under kReadCodePageProcedure and give
/// nullopt. Throws EndProgram when `errors` ends the program.
[[nodiscard]] std::optional<int> ReadCodePage(const std::string& language_database,
                                              std::string_view language_id, ErrorSink& errors);

}  // namespace orvano

#endif  // ORVANO_INPUTS_LANGUAGES_H_
