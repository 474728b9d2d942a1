// Read-only access to Jet database files (.mdb, .vws): the user tables, their columns and their
// rows as a Table. Used by the text database and language readers. libmdb does the reading in a
// reader process of its own (orvano-dbreader) that each JetDatabase owns for its whole life; it
// is not thread-safe.

#ifndef ORVANO_JET_JET_DATABASE_H_
#define ORVANO_JET_JET_DATABASE_H_

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "support/table.h"

namespace orvano {

/// The paths where the database reader program is looked for, in order, by a program whose
/// executable lies in `exe_folder` (ending with "/"; "" when unknown): beside it, then in the
/// installation's reader folder ("<prefix>/libexec/orvano-html/"), then the build tree's reader.
std::vector<std::string> DatabaseReaderPlaces(const std::string& exe_folder);

class JetDatabase {
 public:
  /// Opens the database file at `path` for reading. Throws UnexpectedError naming the path:
  /// 3024 "Could not find file '<path>'" when it is missing, 3051 when it cannot be read,
  /// 3343 "Not a database: <path>" when it is empty or does not start like a Jet file, and
  /// 3343 "Damaged database: <path>" when it is cut short or its catalog cannot be read, or
  /// the reader process dies, answers nonsense or takes longer than 30 seconds (it is then
  /// killed). 3051 when the reader program is missing, 75 when it cannot be started.
  static std::unique_ptr<JetDatabase> Open(const std::string& path);

  /// As Open, over the file's `bytes` already in memory; `path` names them in messages.
  static std::unique_ptr<JetDatabase> FromBytes(std::string bytes, const std::string& path);

  ~JetDatabase();
  JetDatabase(const JetDatabase&) = delete;
  JetDatabase& operator=(const JetDatabase&) = delete;

  const std::string& path() const { return path_; }

  /// The names of the user tables (system tables such as MSysObjects left out), in catalog order.
  std::vector<std::string> TableNames() const;

  /// True when a user table of that name exists; letter case is ignored.
  bool HasTable(std::string_view name) const;

  /// The column names of `table` in table order. Throws UnexpectedError 3078 naming the table
  /// and the file when there is no such table, 3343 when its definition is damaged.
  std::vector<std::string> ColumnNames(std::string_view table);

  /// Reads every row of `table` in record order: all columns in table order when `columns` is
  /// empty, else the named ones in the given order (names matched ignoring letter case; a name
  /// may repeat). A null field gives a null cell. Byte, Integer, Long Integer, Single, Double,
  /// Currency and Decimal give numbers; Yes/No gives -1 for Yes and 0 for No, as the original
  /// engine's True and False; Text, Memo and Replication ID give UTF-8 text; Date/Time gives
  /// the text of libmdb's date format (the process locale's "%x %X"), correct over the whole
  /// Jet range of years 100 to 9999; binary and OLE fields give null. Rows written before a
  /// column was added give null for it (No for Yes/No).
  /// Throws UnexpectedError naming the file: 3078 no such table, 3061 no such column (naming
  /// the column and the table), 3343 "<path>: table T, column C: calculated columns are not
  /// supported" (or complex, large number, extended date/time columns, columns of an unknown
  /// type) for a column of a kind this reader does not read, 3343 "Damaged database: <path>"
  /// when any page the read needs is missing or unreadable: a damaged file never yields fewer
  /// rows instead of an error.
  /// After a damage error every later call fails with it too.
  Table ReadTable(std::string_view table, const std::vector<std::string>& columns = {});

 private:
  struct Handle;  // the reader process and the table names it sent
  JetDatabase(std::unique_ptr<Handle> handle, std::string path);

  std::unique_ptr<Handle> handle_;
  std::string path_;
};

/// The text of the Jet date/time `value` (days since 30 December 1899; before that date the
/// whole part counts back and the fraction still counts the time of day forward) through the
/// strftime `format`, seconds rounded. Values outside Jet's range (years 100 to 9999) or not
/// finite come back as the number's text.
std::string FormatJetDateTime(double value, const char* format);

}  // namespace orvano

#endif  // ORVANO_JET_JET_DATABASE_H_
