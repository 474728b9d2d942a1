#include "templates/template_files.h"

#include <optional>

#include "support/host.h"
#include "app/run_context.h"
#include "app/error_reporting.h"
#include "support/errors.h"
#include "support/file_system.h"
#include "support/table.h"
#include "support/text_case.h"
#include "support/text_codec.h"

namespace orvano {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool CellMatches(const Table& sheet, std::size_t row, std::string_view marker_upper) {
  if (sheet.column_count() < 2) return false;
  const Cell& cell = sheet.At(1, row);
  const auto* text = std::get_if<std::string>(&cell);
  if (text == nullptr || text->empty()) return false;
  return ToUpper(*text) == marker_upper;
}

// Copies the sheet rows `first`..`first + count - 1` into a fresh part with an empty row 0.
Table CopyRows(const Table& sheet, std::size_t first, std::size_t count) {
  Table part(sheet.column_count(), 1);
  for (std::size_t i = 0; i < count; ++i) part.AddRow(sheet.rows()[first + i]);
  return part;
}

}  // namespace

TemplateSet ReadPredifinedHTMLFiles(RunContext& context, int* status) {
  *status = -1;
  TemplateSet set;
  const std::string& folder = context.settings.path_html_source_folder;
  const bool opc = context.description.interface_with_opc;
  const char* names[5] = {"Source_Main.htm", "Source_Menu.htm", "Source_OverView.htm",
                          opc ? "Source_Section_OPC.htm" : "Source_Section.htm",
                          opc ? "Source_Section_OPC_d.htm" : "Source_Section_d.htm"};
  for (int i = 0; i < 5; ++i) GetTextFileHTML(context, folder + names[i], &set.entries[i]);
  *status = 1;
  return set;
}

int GetTextFileHTML(RunContext& context, const std::string& path, LineList* target) {
  int result = -1;
  Guarded(context.errors(), "GetTextFileHTML", [&] {
    std::optional<std::string> found =
        FindFileInFolder(context.fs, FolderOf(path), FileNameOf(path));
    if (!found) return;
    std::string bytes;
    std::string err;
    ReadStatus status = context.fs.ReadFile(*found, &bytes, &err);
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
      context.host.PumpEvents();
      lines.push_back(std::move(line));
    }
    *target = std::move(lines);
    result = 1;
  });
  return result;
}

int SeparateOverviewAndMain(RunContext& context, const Table& sheet, Table* overview, Table* main) {
  int result = -1;
  Guarded(context.errors(), "SeparateOverviewAndMain", [&] {
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
    if (main_row) {
      // The overview part ends before the marker, which itself opens the main part.
      *overview = CopyRows(sheet, start, *main_row - start);
      *main = CopyRows(sheet, *main_row, rows - *main_row);
    } else if (overview_found) {
      *overview = CopyRows(sheet, start, rows - start);
      *main = CopyRows(sheet, 0, 0);
    } else {
      // Neither marker: the overview part is the empty header row, the main part the rest.
      *overview = CopyRows(sheet, 0, rows > 0 ? 1 : 0);
      *main = CopyRows(sheet, rows > 0 ? 1 : 0, rows > 0 ? rows - 1 : 0);
    }
    result = 1;
  });
  return result;
}

}  // namespace orvano
