#include "inputs/languages.h"

#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "jet/jet_database.h"
#include "support/error_sink.h"
#include "support/errors.h"
#include "support/file_system.h"
#include "support/number_text.h"
#include "support/string_helpers.h"
#include "support/text_case.h"

namespace orvano {
namespace {

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
std::vector<LanguageName> ReadLanguageNames(const std::string& path, ErrorSink& errors) {
  std::unique_ptr<JetDatabase> database = JetDatabase::Open(path);
  const Table rows = database->ReadTable(kLookUpTable, {"Language", "Name", "FONT"});
  std::vector<LanguageName> names;
  for (const auto& row : rows.rows()) {
    errors.KeepResponsive();
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

std::optional<std::string> FindLanguageDatabase(FileSystem& fs, const std::string& folder) {
  return FindFileInFolder(fs, folder, kLanguageDbName);
}

std::vector<ProjectLanguage> ReadProjectLanguages(
    const std::string& database_path, std::string_view language_table,
    const std::optional<std::string>& language_database, ErrorSink& errors) {
  errors.KeepResponsive();
  std::vector<ProjectLanguage> languages;
  const std::string place = TablePlace(database_path, language_table);
  PlaceScope at(errors, {place});
  RunStep(errors, kReadLanguagesProcedure, [&] {
    const std::string table(language_table);
    std::unique_ptr<JetDatabase> database = JetDatabase::Open(database_path);
    const Table rows = database->ReadTable(table, {"LCID", "Font"});
    if (rows.empty()) {
      throw ProgramError("No languages in table '" + table + "' of '" + database_path + "'");
    }
    for (const auto& row : rows.rows()) {
      errors.KeepResponsive();
      languages.push_back({row[0], CellText(row[0]), CellText(row[1])});
    }
  });
  if (!language_database) return languages;

  std::vector<LanguageName> names;
  const std::string names_place = TablePlace(*language_database, kLookUpTable);
  PlaceScope at_names(errors, {names_place});
  RunStep(errors, kReadLanguagesProcedure,
          [&] { names = ReadLanguageNames(*language_database, errors); });
  for (ProjectLanguage& language : languages) {
    for (const LanguageName& name : names) {
      if (SameLanguageId(language.id, name.id)) {
        language.display_name = CellText(name.name);
        break;
      }
    }
  }
  return languages;
}

std::optional<int> ReadCodePage(const std::string& language_database, std::string_view language_id,
                                ErrorSink& errors) {
  std::optional<int> code_page;
  const std::string place =
      TablePlace(language_database, kLookUpTable) + " " + std::string(language_id);
  PlaceScope at(errors, {place});
  RunStep(errors, kReadCodePageProcedure, [&] {
    const std::string& path = language_database;
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
      code_page = ParseCodePage(CellText(row[2]));
      return;
    }
  });
  return code_page;
}

}  // namespace orvano
