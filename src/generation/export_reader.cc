#include "generation/export_reader.h"

#include <algorithm>
#include <charconv>
#include <nlohmann/json.hpp>

#include "support/errors.h"
#include "support/file_system.h"

namespace orvano {
namespace {

using nlohmann::json;

constexpr char kExportReaderSource[] = "Export reader";
constexpr std::string_view kBlockMark = " (block ";
constexpr std::string_view kRepetitionMark = ", repetition ";

[[noreturn]] void Fail(const std::string& file_name, const std::string& detail) {
  throw UnexpectedError(err::kInvalidFileFormat, file_name + ": " + detail, kExportReaderSource);
}

// A whole decimal number, or nullopt.
template <typename Number>
std::optional<Number> WholeNumber(std::string_view text) {
  Number value{};
  if (text.empty() || text.front() < '0' || text.front() > '9') return std::nullopt;
  const char* end = text.data() + text.size();
  auto [stop, error] = std::from_chars(text.data(), end, value);
  if (error != std::errc() || stop != end) return std::nullopt;
  return value;
}

// The fields of one object of the export, each read with its place for the error messages.
class ExportObject {
 public:
  ExportObject(const json& value, std::string place, const std::string& file_name)
      : value_(value), place_(std::move(place)), file_name_(file_name) {
    if (!value.is_object()) Fail(file_name_, place_ + ": not an object");
  }

  const json& Field(const char* name, bool (json::*is_kind)() const noexcept,
                    const char* kind) const {
    const auto it = value_.find(name);
    if (it == value_.end()) Fail(file_name_, place_ + ": \"" + name + "\" is missing");
    if (!((*it).*is_kind)()) Fail(file_name_, PlaceOf(name) + ": not " + kind);
    return *it;
  }
  std::string Text(const char* name) const {
    return Field(name, &json::is_string, "a text").get<std::string>();
  }
  const json& List(const char* name) const { return Field(name, &json::is_array, "a list"); }
  std::string PlaceOf(const std::string& name) const {
    return place_.empty() ? name : place_ + "." + name;
  }

 private:
  const json& value_;
  std::string place_;
  const std::string& file_name_;
};

std::string Indexed(const std::string& place, std::size_t index) {
  return place + "[" + std::to_string(index) + "]";
}

AllocationRow ReadRow(const ExportObject& row, const std::string& place,
                      const std::string& file_name) {
  AllocationRow out;
  out.section = row.Text("section");
  out.machine = row.Text("machine");
  out.position = row.Text("position");
  out.font_class = row.Text("class");
  const std::string source = row.Text("source");
  std::optional<RowOrigin> origin = ParseOriginText(source);
  if (!origin) Fail(file_name, place + ".source: not a workbook row: \"" + source + "\"");
  out.origin = std::move(*origin);
  const json& cells = row.List("cells");
  out.cells.reserve(cells.size());
  for (const json& cell : cells) {
    if (!cell.is_string()) Fail(file_name, place + ".cells: not a list of texts");
    out.cells.push_back(cell.get<std::string>());
  }
  const json& address_cells = row.List("address_cells");
  out.address_columns.reserve(address_cells.size());
  for (const json& index : address_cells) {
    if (!index.is_number_unsigned()) {
      Fail(file_name, place + ".address_cells: not a list of cell numbers");
    }
    out.address_columns.push_back(index.get<std::size_t>());
  }
  return out;
}

AllocationPageKind ReadPageKind(const ExportObject& page, const std::string& file_name) {
  const std::string kind = page.Text("kind");
  for (AllocationPageKind known :
       {AllocationPageKind::kSection, AllocationPageKind::kDetail, AllocationPageKind::kOverview}) {
    if (kind == PageKindName(known)) return known;
  }
  Fail(file_name, page.PlaceOf("kind") + ": not a page kind: \"" + kind + "\"");
}

AllocationPage ReadPage(const ExportObject& page, const std::string& file_name) {
  AllocationPage out;
  out.file = page.Text("file");
  if (out.file.empty()) Fail(file_name, page.PlaceOf("file") + ": empty");
  out.kind = ReadPageKind(page, file_name);
  out.section = page.Text("section");
  out.machine = page.Text("machine");
  const json& rows = page.List("rows");
  out.rows.reserve(rows.size());
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const std::string place = Indexed(page.PlaceOf("rows"), i);
    out.rows.push_back(ReadRow(ExportObject(rows[i], place, file_name), place, file_name));
  }
  return out;
}

LanguageAllocation ReadLanguage(const ExportObject& language, const std::string& file_name) {
  LanguageAllocation out;
  out.language = language.Text("id");
  if (out.language.empty()) Fail(file_name, language.PlaceOf("id") + ": empty");
  const json& pages = language.List("pages");
  out.pages.reserve(pages.size());
  for (std::size_t i = 0; i < pages.size(); ++i) {
    out.pages.push_back(ReadPage(
        ExportObject(pages[i], Indexed(language.PlaceOf("pages"), i), file_name), file_name));
  }
  return out;
}

// "(line L, column C)" of the 1-based byte index `byte` that the JSON parser stopped at
// (the length + 1 at the end of the text).
std::string LineAndColumn(std::string_view text, std::size_t byte) {
  const std::size_t at = std::min(byte == 0 ? 0 : byte - 1, text.size());
  const std::string_view before = text.substr(0, at);
  const std::size_t line =
      1 + static_cast<std::size_t>(std::count(before.begin(), before.end(), '\n'));
  const std::size_t line_start =
      before.rfind('\n') == std::string_view::npos ? 0 : before.rfind('\n') + 1;
  return "(line " + std::to_string(line) + ", column " + std::to_string(at - line_start + 1) + ")";
}

// True when `document` says it was written by this program: its "program" is orvano-html's
// and it has a format version. The run report says so too; its exit status tells it apart.
bool IsExportOfThisProgram(const json& document) {
  if (!document.is_object()) return false;
  const auto program = document.find("program");
  if (program == document.end() || !program->is_object()) return false;
  const auto name = program->find("name");
  if (name == program->end() || *name != "orvano-html") return false;
  const auto version = document.find("format_version");
  return version != document.end() && version->is_number() && !document.contains("exit_status");
}

}  // namespace

std::optional<RowOrigin> ParseOriginText(std::string_view text) {
  RowOrigin origin;
  if (text.empty()) return origin;
  if (text.back() == ')') {
    const std::size_t block = text.rfind(kBlockMark);
    if (block == std::string_view::npos) return std::nullopt;
    std::string_view numbers = text.substr(block + kBlockMark.size());
    numbers.remove_suffix(1);
    const std::size_t comma = numbers.find(kRepetitionMark);
    if (comma == std::string_view::npos) return std::nullopt;
    const std::optional<int> block_number = WholeNumber<int>(numbers.substr(0, comma));
    const std::optional<int> repetition =
        WholeNumber<int>(numbers.substr(comma + kRepetitionMark.size()));
    if (!block_number || !repetition || *block_number == 0) return std::nullopt;
    origin.block = *block_number;
    origin.repetition = *repetition;
    text = text.substr(0, block);
  }
  const std::size_t bang = text.rfind('!');
  if (bang == std::string_view::npos) return std::nullopt;
  const std::optional<std::size_t> row = WholeNumber<std::size_t>(text.substr(bang + 1));
  if (!row || *row == 0) return std::nullopt;
  origin.sheet_row = *row;
  // A sheet name never holds ":" (spreadsheets refuse it); a workbook's file name may.
  const std::string_view place = text.substr(0, bang);
  const std::size_t colon = place.rfind(':');
  if (colon != std::string_view::npos) {
    origin.workbook = std::string(place.substr(0, colon));
    if (origin.workbook.empty()) return std::nullopt;
  }
  origin.sheet = std::string(colon == std::string_view::npos ? place : place.substr(colon + 1));
  return origin;
}

ExportContents ParseAllocationExport(std::string_view text, const std::string& file_name) {
  json document;
  try {
    document = json::parse(text.begin(), text.end());
  } catch (const json::parse_error& e) {
    Fail(file_name, "the export is truncated or not JSON " + LineAndColumn(text, e.byte));
  }
  if (!IsExportOfThisProgram(document)) Fail(file_name, "not an export of orvano-html");
  const json& version = document["format_version"];
  if (version != kExportFormatVersion) {
    Fail(file_name, "export format version " + version.dump() +
                        " is not supported (this program reads version " +
                        std::to_string(kExportFormatVersion) + ")");
  }
  const ExportObject top(document, "", file_name);
  static_cast<void>(top.List("inputs"));
  const json& languages = top.List("languages");
  ExportContents contents;
  contents.format_version = kExportFormatVersion;
  contents.allocation.languages.reserve(languages.size());
  for (std::size_t i = 0; i < languages.size(); ++i) {
    contents.allocation.languages.push_back(
        ReadLanguage(ExportObject(languages[i], Indexed("languages", i), file_name), file_name));
  }
  return contents;
}

ExportContents ReadAllocationExport(FileSystem& fs, const std::string& path) {
  std::string text;
  std::string error;
  switch (fs.ReadFile(path, &text, &error)) {
    case ReadStatus::kOkay:
      break;
    case ReadStatus::kNotFound:
      throw UnexpectedError(err::kFileNotFound, error, kExportReaderSource);
    case ReadStatus::kOtherError:
      throw UnexpectedError(err::kPathFileAccess, error, kExportReaderSource);
  }
  return ParseAllocationExport(text, path);
}

}  // namespace orvano
