// The project's languages and their code pages: the language list the main window offers (ids
// and fonts from the project database, display names from Languages.mdb) and the code page of
// the language chosen for a run. Both read the databases anew on every call.

#ifndef ORVANO_INPUTS_LANGUAGES_H_
#define ORVANO_INPUTS_LANGUAGES_H_

#include <string>
#include <string_view>

#include "support/table.h"

namespace orvano {

struct RunContext;

/// The name of the language database beside the program or under the installation root.
inline constexpr char kLanguageDbName[] = "Languages.mdb";

/// The language table of the project database at `database_path`: "Tlanguages" when the path,
/// without surrounding blanks, ends in "MDB" and "TcfgLanguages" when it ends in "VWS" (letter
/// case ignored); `current` for any other ending.
std::string LanguageTableFor(std::string_view database_path, std::string_view current);

/// True when the two language ids are the same: compared as numbers when both read as one,
/// else as exact texts; a null id equals nothing.
bool SameLanguageId(const Cell& a, const Cell& b);

/// GetLanguages_Orvano_MDB: the project's languages, one row per record of the table
/// `context.language.language_table` of the database `context.settings.path_orvano_db`, in
/// record order: column 0 its LCID, column 1 its display name, column 2 its Font. The display
/// name is the Name of the first LookUpLanguages row (FONT not "0") of Languages.mdb with that
/// language id, or else the LCID itself. Languages.mdb is looked for (letter case ignored) in
/// `context.program.install_root` on the machine PC, else in `context.program.folder`; sets
/// `context.settings.path_language_db` to its path ("" when absent) and
/// `context.language.language_db_found`.
/// Errors (a database that cannot be read, a missing table or field, a language table without
/// records) are reported under "GetLanguages_Orvano_MDB"; the list then comes back as far as it
/// was built. Throws EndProgram when the program is to end.
Table GetLanguages_Orvano_MDB(RunContext& context);

/// GetCodePage: the CodePage, as decimal text, of the first row of LookUpLanguages in the
/// database `context.settings.path_language_db` whose Language equals `language_id` as a
/// number; "-1" when there is none. Errors (a database that cannot be read, an id that is not a
/// number, a null CodePage) are reported under "GetCodePage" and give "-1".
/// Throws EndProgram when the program is to end.
std::string GetCodePage(RunContext& context, std::string_view language_id);

}  // namespace orvano

#endif  // ORVANO_INPUTS_LANGUAGES_H_
