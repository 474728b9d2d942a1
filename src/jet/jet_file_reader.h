// libmdb's view of one Jet database file held in memory: its user tables, their columns and
// their rows. Used only inside the reader process (orvano-dbreader), because libmdb may crash
// on a damaged file; the program itself reads databases through JetDatabase.

#ifndef ORVANO_JET_JET_FILE_READER_H_
#define ORVANO_JET_JET_FILE_READER_H_

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "support/table.h"

namespace orvano {

class JetFileReader {
 public:
  /// Opens the database file `bytes`; `path` names it in messages. Throws UnexpectedError 3343
  /// "Not a database: <path>" or "Damaged database: <path>" as JetDatabase::Open describes.
  static std::unique_ptr<JetFileReader> Open(std::string bytes, const std::string& path);
  /// Reads the file at `path` and opens it. Throws as Open, and UnexpectedError 3024 "Could not
  /// find file '<path>'" when it is missing, 3051 when it cannot be read.
  static std::unique_ptr<JetFileReader> OpenFile(const std::string& path);

  ~JetFileReader();
  JetFileReader(const JetFileReader&) = delete;
  JetFileReader& operator=(const JetFileReader&) = delete;

  /// The names of the user tables, in catalog order.
  std::vector<std::string> TableNames() const;
  /// As JetDatabase::ColumnNames.
  std::vector<std::string> ColumnNames(std::string_view table);
  /// As JetDatabase::ReadTable.
  Table ReadTable(std::string_view table, const std::vector<std::string>& columns);
  /// Reads the rows ReadTable returns, handing each to `visit` as it is read rather than
  /// keeping them (it may take the cells); `begin` is first given the number of columns and
  /// the rows the table says it has, at most. Throws as ReadTable, possibly after some rows.
  void ReadRows(std::string_view table, const std::vector<std::string>& columns,
                const std::function<void(std::size_t columns, std::size_t rows_expected)>& begin,
                const std::function<void(std::vector<Cell>& row)>& visit);

 private:
  struct Handle;  // the libmdb handle and the bytes it reads
  JetFileReader(std::unique_ptr<Handle> handle, std::string path);
  static std::unique_ptr<JetFileReader> OpenHandle(std::unique_ptr<Handle> handle,
                                                   const char* bytes, std::size_t size,
                                                   const std::string& path);

  std::unique_ptr<Handle> handle_;
  std::string path_;
};

}  // namespace orvano

#endif  // ORVANO_JET_JET_FILE_READER_H_
