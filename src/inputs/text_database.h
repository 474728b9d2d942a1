// The text database reader: every text of one language of the project database, with its
// address index (group names and text name joined by dots), into TextTable by depth. The
// generation driver reads it once per run; the address formulas search it afterwards.
// Failures are reported to an ErrorSink under the procedure texts below.

#ifndef ORVANO_INPUTS_TEXT_DATABASE_H_
#define ORVANO_INPUTS_TEXT_DATABASE_H_

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "inputs/text_table.h"
#include "support/parallel_for.h"
#include "support/table.h"

namespace orvano {

class ErrorSink;

/// The procedure texts of the reports: opening the file and reading its tables, then the read
/// as a whole.
inline constexpr std::string_view kTextQueryProcedure = "GetDataFieldFromSQL";
inline constexpr std::string_view kReadTextDatabaseProcedure = "ReadOrvanoDatabase";

/// The five Jet SQL texts whose results TextTable holds, for `language_id`: query k selects the
/// texts k + 1 group levels deep with the column "L" + `language_id`. They are not executed:
/// the rows are computed by JoinTextDepths; the texts name the failing query in messages.
std::array<std::string, 5> TextDepthQueries(std::string_view language_id);

/// Computes the five depth tables from the rows of TidxGroups (`groups`: columns ID, ParentID,
/// Name) and TidxTexts (`texts`: columns ParentID, Name, text of the language). Entry k holds,
/// for every text whose group has at least k ancestors, the row (address index, text): the
/// address index is the names of the k-th ancestor down to the text's own group, then the text
/// name, joined by "."; a null name is an empty part, a null text stays null. A text whose
/// chain of groups breaks (unknown ParentID) has rows only for the depths its chain reaches; a
/// group that is its own ancestor simply repeats in the chain. Each entry is sorted by column 0
/// as SortRowsByFirstColumn sorts them; rows with equal address indices are all kept. `errors`
/// (may be null) gets a KeepResponsive call.
/// Throws UnexpectedError 3343 naming `path` when two groups share an ID (a damaged key).
TextTable JoinTextDepths(const Table& groups, Table texts, const std::string& path,
                         ErrorSink* errors);

/// Reads every text of `language_id` from the project database at `database_path`. Returns
/// nullopt on failure, after reporting to `errors` in a chain: the engine's error (file
/// missing 3024, damaged 3343, table missing 3078, no column "L" + `language_id` 3061) and then
/// "No Access to Database " + path (when the file did not open) or "SQL-Failure, SQL=" + the
/// first query, both under kTextQueryProcedure, then "Unable to get data from " + path under
/// kReadTextDatabaseProcedure. Throws EndProgram when `errors` ends the program.
/// The depth tables are built through `parallel`.
[[nodiscard]] std::optional<TextTable> ReadTextDatabase(
    const std::string& database_path, std::string_view language_id, ErrorSink& errors,
    const ParallelFor& parallel = ParallelFor(OneAfterAnother));

/// The rows of TidxGroups (ID, ParentID, Name) and TidxTexts (ParentID, Name, then the text
/// column of each language in `language_ids`' order), read from `path` in one pass so that
/// several languages share one read.
struct TextColumns {
  std::string path;
  std::vector<std::string> language_ids;
  Table groups;
  Table texts;
};

/// Reads the text columns of every language in `language_ids` at once. Returns nullopt, reporting
/// nothing, when anything fails (the file, a table, a column): the caller then reads language
/// by language with ReadTextDatabase, which reports the failure as it concerns each language.
[[nodiscard]] std::optional<TextColumns> ReadTextColumns(
    const std::string& database_path, const std::vector<std::string>& language_ids);

/// The texts of several languages read together (TextColumns), joined once: every language
/// shares the address side and reads its own column of the rows.
class TextJoin {
 public:
  /// Works out the address side, its depths through `parallel`. Throws UnexpectedError 3343
  /// as JoinTextDepths does.
  explicit TextJoin(TextColumns columns, const ParallelFor& parallel = ParallelFor(OneAfterAnother));

  /// The texts of the `language`-th language of the columns, as ReadTextDatabase returns them.
  /// Safe to call for several languages at once.
  TextTable Join(std::size_t language) const;

 private:
  std::shared_ptr<const TextAddresses> addresses_;
  std::shared_ptr<const Table> rows_;
};

/// Reports the failure being handled (a TextJoin that could not be made) for `language_id` as
/// ReadTextDatabase reports a failed join. Requires: inside a catch block. Throws EndProgram
/// when `errors` ends the program.
void ReportTextJoinFailure(const std::string& path, std::string_view language_id,
                           ErrorSink& errors);

}  // namespace orvano

#endif  // ORVANO_INPUTS_TEXT_DATABASE_H_
