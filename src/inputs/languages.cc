#include "inputs/languages.h"

#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "support/host.h"
#include "app/run_context.h"
#include "app/error_reporting.h"
#include "support/errors.h"
#include "support/file_system.h"
#include "support/jet_database.h"
#include "support/number_text.h"
#include "support/string_helpers.h"
#include "support/text_case.h"

namespace orvano {
namespace {

constexpr std::string_view kLanguagesProcedure = "GetLanguages_Orvano_MDB";
constexpr std::string_view kCodePageProcedure = "GetCodePage";
constexpr std::string_view kLookUpTable = "LookUpLanguages";

// The cell as a number: a number as it is, a text that reads wholly as one; else nullopt.
std::optional<double> NumericId(const Cell& cell) {
  if (const auto* number = std::get_if<double>(&cell)) return *number;
  if (const auto* text = std::get_if<std::string>(&cell)) return ParseNumber(*text);
  return std::nullopt;
}

// The filter FONT <> "0" of the language query: a null FONT passes no comparison.
bool NamesLanguages(const Cell& font) {
  if (const auto* number = std::get_if<double>(&font)) return *number != 0;
  if (const auto* text = std::get_if<std::string>(&font)) return *text != "0";
  return false;
}

struct LanguageName {
  Cell id;
  Cell name;
};

// The (Language, Name) pairs of the language database that may name a language, in record order.
std::vector<LanguageName> ReadLanguageNames(Host& host, const std::string& path) {
  std::unique_ptr<JetDatabase> database = JetDatabase::Open(path);
  const Table rows = database->ReadTable(kLookUpTable, {"Language", "Name", "FONT"});
  std::vector<LanguageName> names;
  for (const auto& row : rows.rows()) {
    host.PumpEvents();
    if (NamesLanguages(row[2])) names.push_back({row[0], row[1]});
  }
  return names;
}

}  // namespace

std::string LanguageTableFor(std::string_view database_path, std::string_view current) {
  const std::string trimmed = TrimBlanks(database_path);
  if (trimmed.size() >= 3) {
    const std::string ending = ToUpper(std::string_view(trimmed).substr(trimmed.size() - 3));
    if (ending == "MDB") return "Tlanguages";
    if (ending == "VWS") return "TcfgLanguages";
  }
  return std::string(current);
}

bool SameLanguageId(const Cell& a, const Cell& b) {
  if (IsNull(a) || IsNull(b)) return false;
  const std::optional<double> x = NumericId(a);
  const std::optional<double> y = NumericId(b);
  if (x && y) return *x == *y;
  return CellText(a) == CellText(b);
}

Table GetLanguages_Orvano_MDB(RunContext& context) {
  const ErrorContext errors = context.errors();
  context.host.PumpEvents();

  Table list(3, 0);
  Guarded(errors, kLanguagesProcedure, [&] {
    const std::string& path = context.settings.path_orvano_db;
    const std::string& table = context.language.language_table;
    std::unique_ptr<JetDatabase> database = JetDatabase::Open(path);
    const Table rows = database->ReadTable(table, {"LCID", "Font"});
    if (rows.empty()) {
      throw ProgramError("No languages in table '" + table + "' of '" + path + "'");
    }
    for (const auto& row : rows.rows()) {
      context.host.PumpEvents();
      list.AddRow({row[0], row[0], row[1]});
    }
  });

  const std::string& folder = context.settings.running_on_machine_pc ? context.program.install_root
                                                                     : context.program.folder;
  const std::optional<std::string> language_db =
      FindFileInFolder(context.fs, folder, kLanguageDbName);
  context.settings.path_language_db = language_db.value_or("");
  context.language.language_db_found = language_db.has_value();
  if (!language_db) return list;

  std::vector<LanguageName> names;
  Guarded(errors, kLanguagesProcedure,
          [&] { names = ReadLanguageNames(context.host, *language_db); });
  for (auto& language : list.rows()) {
    for (const LanguageName& name : names) {
      if (SameLanguageId(language[0], name.id)) {
        language[1] = name.name;
        break;
      }
    }
  }
  return list;
}

std::string GetCodePage(RunContext& context, std::string_view language_id) {
  std::string result = "-1";
  Guarded(context.errors(), kCodePageProcedure, [&] {
    const std::string& path = context.settings.path_language_db;
    std::unique_ptr<JetDatabase> database = JetDatabase::Open(path);
    const Table rows = database->ReadTable(kLookUpTable, {"Language", "Name", "CodePage"});
    // The id stands unquoted in the query's condition; anything but a number would be taken
    // for an unknown parameter (or worse, for more of the condition).
    const std::optional<double> id = ParseNumber(language_id);
    if (!id) {
      throw UnexpectedError(err::kDbTooFewParameters,
                            "Language id '" + std::string(language_id) +
                                "' is not a number; its code page cannot be looked up in '" + path +
                                "'");
    }
    for (const auto& row : rows.rows()) {
      if (!SameLanguageId(row[0], Cell(*id))) continue;
      if (IsNull(row[2])) {
        throw UnexpectedError(err::kInvalidUseOfNull, "Language " + std::string(language_id) +
                                                          " has no code page in '" + path + "'");
      }
      result = CellText(row[2]);
      return;
    }
  });
  return result;
}

}  // namespace orvano
