// A database as the program's reader sees it, as text: the list of its user tables, or tables as
// CSV in the form of mdb-export's default output, so that a user can compare our reading with
// other tools by diff. Used by the database_dump command; reads through JetDatabase (the reader
// process), never libmdb directly.

#ifndef ORVANO_TOOLS_DATABASE_DUMP_DATABASE_DUMP_H_
#define ORVANO_TOOLS_DATABASE_DUMP_DATABASE_DUMP_H_

#include <string>
#include <vector>

namespace orvano {

class JetDatabase;
class Table;

/// The user tables of `database`, one name per line, in catalog order.
std::string TableList(const JetDatabase& database);

/// `table` with the header `column_names` as CSV: the names joined by ",", then one line per row;
/// a text in double quotes with each quote inside doubled, a number as the program prints it
/// ("%.15G"-like), a null as nothing; every line ends with "\n".
/// Requires: column_names.size() == table.column_count().
std::string TableCsv(const std::vector<std::string>& column_names, const Table& table);

/// The CSV of each of `tables` of `database` (all columns, in table order), in the order given,
/// one empty line between two tables. Throws the reader's errors (UnexpectedError), which name
/// the file.
std::string TablesCsv(JetDatabase& database, const std::vector<std::string>& tables);

}  // namespace orvano

#endif  // ORVANO_TOOLS_DATABASE_DUMP_DATABASE_DUMP_H_
