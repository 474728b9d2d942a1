#include "database_dump/database_dump.h"

#include "jet/jet_database.h"
#include "support/table.h"

namespace orvano {

std::string TableList(const JetDatabase& database) {
  std::string text;
  for (const std::string& name : database.TableNames()) text += name + "\n";
  return text;
}

std::string TableCsv(const std::vector<std::string>& column_names, const Table& table) {
  std::string text;
  for (std::size_t c = 0; c < column_names.size(); ++c) {
    if (c > 0) text += ',';
    text += column_names[c];
  }
  text += '\n';
  for (std::size_t r = 0; r < table.row_count(); ++r) {
    for (std::size_t c = 0; c < table.column_count(); ++c) {
      if (c > 0) text += ',';
      const Cell& cell = table.At(c, r);
      if (!IsText(cell)) {
        text += CellText(cell);
        continue;
      }
      text += '"';
      for (char ch : std::get<std::string>(cell)) {
        if (ch == '"') text += '"';
        text += ch;
      }
      text += '"';
    }
    text += '\n';
  }
  return text;
}

std::string TablesCsv(JetDatabase& database, const std::vector<std::string>& tables) {
  std::string text;
  for (std::size_t i = 0; i < tables.size(); ++i) {
    if (i > 0) text += '\n';
    const std::vector<std::string> names = database.ColumnNames(tables[i]);
    text += TableCsv(names, database.ReadTable(tables[i]));
  }
  return text;
}

}  // namespace orvano
