#include "templates/template_files.h"

#include <optional>
#include <utility>

#include "support/error_sink.h"
#include "support/errors.h"
#include "support/file_system.h"
#include "support/table.h"
#include "support/text_case.h"
#include "support/text_codec.h"

namespace orvano {
namespace {

constexpr std::string_view kReadTemplateProcedure = "GetTextFileHTML";
constexpr std::string_view kSplitProcedure = "SeparateOverviewAndMain";

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool CellMatches(const Table& sheet, std::size_t row, std::string_view marker_upper) {
  if (sheet.column_count() < 2) return false;
  const Cell& cell = sheet.At(1, row);
  const auto* text = std::get_if<std::string>(&cell);
  if (text == nullptr || text->empty()) return false;
  return ToUpper(*text) == marker_upper;
}

// Moves the sheet rows `first`..`first + count - 1` into a fresh part with an empty row 0.
Table MoveRows(Table& sheet, std::size_t first, std::size_t count) {
  Table part(sheet.column_count(), 1);
  for (std::size_t i = 0; i < count; ++i) part.AddRow(std::move(sheet.rows()[first + i]));
  return part;
}

}  // namespace

std::string TemplateFileName(std::size_t entry, bool with_opc) {
  const char* names[5] = {"Source_Main.htm", "Source_Menu.htm", "Source_OverView.htm",
                          with_opc ? "Source_Section_OPC.htm" : "Source_Section.htm",
                          with_opc ? "Source_Section_OPC_d.htm" : "Source_Section_d.htm"};
  return entry < 5 ? names[entry] : "";
}

TemplateSet ReadTemplateSet(FileSystem& fs, const std::string& folder, bool with_opc,
                            ErrorSink& errors) {
  TemplateSet set;
  for (std::size_t i = 0; i < set.entries.size(); ++i) {
    std::optional<LineList> lines =
        ReadTemplateFile(fs, folder + TemplateFileName(i, with_opc), errors);
    if (lines) set.entries[i] = std::move(*lines);
  }
  return set;
}

std::optional<LineList> ReadTemplateFile(FileSystem& fs, const std::string& path,
                                         ErrorSink& errors) {
  std::optional<LineList> result;
  PlaceScope at(errors, {path});
  RunStep(errors, kReadTemplateProcedure, [&] {
    std::optional<std::string> found = FindFileInFolder(fs, FolderOf(path), FileNameOf(path));
    if (!found) return;
    std::string bytes;
    std::string err;
    ReadStatus status = fs.ReadFile(*found, &bytes, &err);
    if (status == ReadStatus::kNotFound) return;
    if (status != ReadStatus::kOkay) {
      throw UnexpectedError(err::kPathFileAccess,
                            "Cannot read the template " + *found + ": " + err);
    }
    std::string text = DecodeTextFile(bytes, /*allow_utf16_without_bom=*/true).text;
    // A mark that survived decoding (written twice, or UTF-16 read without its mark) is no text.
    if (text.starts_with(kByteOrderMark)) text.erase(0, kByteOrderMark.size());
    LineList lines;
    lines.push_back(*found);
    for (std::string& line : SplitLines(text)) {
      errors.KeepResponsive();
      lines.push_back(std::move(line));
    }
    result = std::move(lines);
  });
  return result;
}

std::optional<SheetParts> SplitOverviewAndMain(Table sheet, ErrorSink& errors) {
  std::optional<SheetParts> result;
  RunStep(errors, kSplitProcedure, [&] {
    const std::size_t rows = sheet.row_count();
    std::size_t start = 0;
    std::optional<std::size_t> main_row;
    bool overview_found = false;
    for (std::size_t r = 0; r < rows; ++r) {
      if (CellMatches(sheet, r, "###OVERVIEW")) {
        // The row after the marker begins the overview part and is tested only against "###Main".
        ++r;
        start = r;
        overview_found = true;
      }
      if (r < rows && CellMatches(sheet, r, "###MAIN")) {
        main_row = r;
        break;
      }
    }
    SheetParts parts;
    if (main_row) {
      // The overview part ends before the marker, which itself opens the main part.
      parts.overview = MoveRows(sheet, start, *main_row - start);
      parts.main = MoveRows(sheet, *main_row, rows - *main_row);
      parts.overview_first_row = start;
      parts.main_first_row = *main_row;
    } else if (overview_found) {
      parts.overview = MoveRows(sheet, start, rows - start);
      parts.main = MoveRows(sheet, 0, 0);
      parts.overview_first_row = start;
    } else {
      // Neither marker: the overview part is the empty header row, the main part the rest.
      parts.overview = MoveRows(sheet, 0, rows > 0 ? 1 : 0);
      parts.main = MoveRows(sheet, rows > 0 ? 1 : 0, rows > 0 ? rows - 1 : 0);
      parts.main_first_row = 1;
    }
    result = std::move(parts);
  });
  return result;
}

}  // namespace orvano
