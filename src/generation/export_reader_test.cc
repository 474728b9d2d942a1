#include "generation/export_reader.h"

#include <gtest/gtest.h>

#include "generation/allocation_diff.h"
#include "testing/test_util.h"

namespace orvano {
namespace {

using testing::ThrownBy;

// An export of two languages as the program writes it: a machine's section page with a row
// of the sheet and one a range block generated, an empty detail page, an overview page.
constexpr char kExport[] = R"json({
  "format_version": 1,
  "program": {"name": "orvano-html", "version": "0.1.0"},
  "inputs": [{"role": "workbook", "path": "/p/Collection.xls", "format": "xls", "bytes": 12345}],
  "languages": [
    {"id": "1033", "pages": [
      {"file": "Drives_Filler.htm", "kind": "section", "section": "Drives", "machine": "Filler",
       "rows": [
        {"section": "Drives", "machine": "Filler", "position": "1",
         "source": "Collection.xls:Drives!17", "class": "12",
         "cells": ["12", "", "A100.0", "Speed", "4000 rpm"], "address_cells": [2, 4]},
        {"section": "Drives", "machine": "Filler", "position": "1",
         "source": "Collection.xls:Standard!14 (block 2, repetition 3)",
               "class" : "3", "cells" : [ "3", "Überschrift" ], "address_cells" : []
}]
},
      {"file": "Drives_Filler_d.htm", "kind": "detail", "section": "Drives",
       "machine": "Filler", "rows": []}]
},
    {"id": "1031", "pages": [
      {"file": "Overview.htm", "kind": "overview", "section": "", "machine": "",
       "rows": [{"section": "Drives", "machine": "", "position": "", "source": "",
                 "class": "1", "cells": [], "address_cells": []}]}]}
  ]
}
)json";

std::string Replaced(std::string text, std::string_view from, std::string_view to) {
  const std::size_t at = text.find(from);
  EXPECT_NE(std::string::npos, at) << from;
  if (at != std::string::npos) text.replace(at, from.size(), to);
  return text;
}

std::string ErrorOf(std::string_view text) {
  const testing::Thrown thrown = ThrownBy([&] { ParseAllocationExport(text, "old.json"); });
  EXPECT_EQ(err::kInvalidFileFormat, thrown.number) << thrown.description;
  return thrown.description;
}

std::string Joined(const std::vector<std::string>& texts) {
  std::string joined;
  for (const std::string& text : texts) joined += text + "|";
  return joined;
}

// Each language, page and row with every field, one line each.
std::vector<std::string> Lines(const Allocation& allocation) {
  std::vector<std::string> lines;
  for (const LanguageAllocation& language : allocation.languages) {
    lines.push_back(language.language);
    for (const AllocationPage& page : language.pages) {
      lines.push_back(" " + page.file + " " + std::string(PageKindName(page.kind)) + " " +
                      page.section + "/" + page.machine);
      for (const AllocationRow& row : page.rows) {
        std::string columns;
        for (std::size_t column : row.address_columns) columns += std::to_string(column) + ",";
        lines.push_back("  " + row.section + "/" + row.machine + "/" + row.position + " " +
                        OriginText(row.origin) + " " + row.font_class + " " + Joined(row.cells) +
                        " " + columns);
      }
    }
  }
  return lines;
}

TEST(ExportReaderTest, ReadsEveryLanguagePageAndRow) {
  const ExportContents contents = ParseAllocationExport(kExport, "old.json");
  EXPECT_EQ(1, contents.format_version);
  EXPECT_EQ((std::vector<std::string>{
                "1033", " Drives_Filler.htm section Drives/Filler",
                "  Drives/Filler/1 Collection.xls:Drives!17 12 12||A100.0|Speed|4000 rpm| 2,4,",
                "  Drives/Filler/1 Collection.xls:Standard!14 (block 2, repetition 3) 3 "
                "3|Überschrift| ",
                " Drives_Filler_d.htm detail Drives/Filler", "1031", " Overview.htm overview /",
                "  Drives//  1  "}),
            Lines(contents.allocation));
  const RowOrigin& generated = contents.allocation.languages[0].pages[0].rows[1].origin;
  EXPECT_EQ("Standard", generated.sheet);
  EXPECT_EQ(14U, generated.sheet_row);
  EXPECT_EQ(2, generated.block);
  EXPECT_EQ(3, generated.repetition);
}

// What the export writer writes reads back as the allocation it was written from.
TEST(ExportReaderTest, ReadsWhatTheWriterWrote) {
  Allocation written = ParseAllocationExport(kExport, "old.json").allocation;
  written.languages[0].pages[0].rows[0].cells[3] = "\"Speed\" \\ \n\u00e9\u20ac";
  const std::string text = ExportText({}, written, {{"workbook", "/p/c.xls", "xls", 9}}, "0.1.0");
  EXPECT_EQ(Lines(written), Lines(ParseAllocationExport(text, "new.json").allocation));
}

TEST(ExportReaderTest, OriginTextsReadBackAsWritten) {
  for (const char* text :
       {"Collection.xls:Drives!17", "Collection.xls:Standard!14 (block 2, repetition 3)",
        "Drives!17", "a:b.xls:Sheet!1", "My sheet!x!9", ""}) {
    std::optional<RowOrigin> origin = ParseOriginText(text);
    ASSERT_TRUE(origin) << text;
    EXPECT_EQ(text, OriginText(*origin));
  }
  for (const char* text : {"Drives", "Drives!", "Drives!0", "Drives!-3", "Drives!17 (block 2)",
                           "Drives!17 (block x, repetition 3)", ":Drives!17", "Drives!1 7"}) {
    EXPECT_FALSE(ParseOriginText(text)) << text;
  }
}

TEST(ExportReaderTest, RefusesWhatIsNotAnExportOfThisVersionNamingThePlace) {
  const std::string not_export = "old.json: not an export of orvano-html";
  const std::pair<std::string, std::string> cases[] = {
      {"[]", not_export},
      {"{}", not_export},
      {Replaced(kExport, "\"orvano-html\"", "\"other\""), not_export},
      {Replaced(kExport, "\"format_version\": 1,", ""), not_export},
      // The run report names the program and a version too.
      {Replaced(kExport, "\"format_version\": 1,", "\"format_version\": 1, \"exit_status\": 0,"),
       not_export},
      // Nesting deeper than any export is read without exhausting the stack.
      {std::string(100'000, '[') + std::string(100'000, ']'), not_export},
      {Replaced(kExport, "\"format_version\": 1", "\"format_version\": 2"),
       "old.json: export format version 2 is not supported (this program reads version 1)"},
      {"\xD0\xCF\x11\xE0 a workbook",
       "old.json: the export is truncated or not JSON (line 1, column 1)"},
      {Replaced(kExport, "\"orvano-html\",", "\"orvano-html\" "),
       "old.json: the export is truncated or not JSON (line 3, column 46)"},
      {"", "old.json: the export is truncated or not JSON (line 1, column 1)"},
  };
  for (const auto& [text, message] : cases) EXPECT_EQ(message, ErrorOf(text));
  // Every cut before the closing brace is refused, naming the file.
  const std::string text = kExport;
  for (std::size_t length = 0; length < text.rfind('}'); ++length) {
    const std::string error = ErrorOf(text.substr(0, length));
    ASSERT_EQ(0U, error.find("old.json: the export is truncated or not JSON (line ")) << error;
  }
}

TEST(ExportReaderTest, DamagedFieldsAreNamedByTheirPlace) {
  struct Case {
    const char* from;
    const char* to;
    const char* message;
  };
  const Case cases[] = {
      {"\"cells\": [\"12\", \"\",", "\"cells\": [12, \"\",",
       "languages[0].pages[0].rows[0].cells: not a list of texts"},
      {"\"address_cells\": [2, 4]", "\"address_cells\": [2, -4]",
       "languages[0].pages[0].rows[0].address_cells: not a list of cell numbers"},
      {"\"kind\": \"detail\"", "\"kind\": \"frame\"",
       "languages[0].pages[1].kind: not a page kind: \"frame\""},
      {"\"machine\": \"Filler\", \"rows\": []", "\"machine\": \"Filler\"",
       "languages[0].pages[1]: \"rows\" is missing"},
      {"\"source\": \"Collection.xls:Drives!17\"", "\"source\": \"Drives\"",
       "languages[0].pages[0].rows[0].source: not a workbook row: \"Drives\""},
      {"\"id\": \"1031\"", "\"id\": 1031", "languages[1].id: not a text"},
      {"\"id\": \"1031\"", "\"id\": \"\"", "languages[1].id: empty"},
      {"\"file\": \"Overview.htm\"", "\"file\": \"\"", "languages[1].pages[0].file: empty"},
      {"\"rows\": [{\"section\"", "\"rows\": [7, {\"section\"",
       "languages[1].pages[0].rows[0]: not an object"},
      {"\"languages\": [", "\"languages\": {\"a\": 1}, \"x\": [", "languages: not a list"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(std::string("old.json: ") + c.message, ErrorOf(Replaced(kExport, c.from, c.to)));
  }
}

}  // namespace
}  // namespace orvano
