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

TEST(ExportReaderTest, ReadsEveryLanguagePageAndRow) {
  const ExportContents contents = ParseAllocationExport(kExport, "old.json");
  EXPECT_EQ(1, contents.format_version);
  const Allocation& allocation = contents.allocation;
  ASSERT_EQ(2U, allocation.languages.size());
  const LanguageAllocation& english = allocation.languages[0];
  EXPECT_EQ("1033", english.language);
  ASSERT_EQ(2U, english.pages.size());
  const AllocationPage& page = english.pages[0];
  EXPECT_EQ("Drives_Filler.htm", page.file);
  EXPECT_EQ(AllocationPageKind::kSection, page.kind);
  EXPECT_EQ("Drives", page.section);
  EXPECT_EQ("Filler", page.machine);
  ASSERT_EQ(2U, page.rows.size());
  const AllocationRow& row = page.rows[0];
  EXPECT_EQ("Drives", row.section);
  EXPECT_EQ("Filler", row.machine);
  EXPECT_EQ("1", row.position);
  EXPECT_EQ("12", row.font_class);
  EXPECT_EQ((std::vector<std::string>{"12", "", "A100.0", "Speed", "4000 rpm"}), row.cells);
  EXPECT_EQ((std::vector<std::size_t>{2, 4}), row.address_columns);
  EXPECT_EQ("Collection.xls:Drives!17", OriginText(row.origin));
  const RowOrigin& generated = page.rows[1].origin;
  EXPECT_EQ("Standard", generated.sheet);
  EXPECT_EQ(14U, generated.sheet_row);
  EXPECT_EQ(2, generated.block);
  EXPECT_EQ(3, generated.repetition);
  EXPECT_EQ("Überschrift", page.rows[1].cells[1]);
  EXPECT_EQ(AllocationPageKind::kDetail, english.pages[1].kind);
  EXPECT_TRUE(english.pages[1].rows.empty());
  const AllocationPage& overview = allocation.languages[1].pages[0];
  EXPECT_EQ(AllocationPageKind::kOverview, overview.kind);
  EXPECT_EQ("", OriginText(overview.rows[0].origin));
  EXPECT_TRUE(overview.rows[0].cells.empty());
}

// What the export writer writes reads back as the allocation it was written from.
TEST(ExportReaderTest, ReadsWhatTheWriterWrote) {
  Allocation written = ParseAllocationExport(kExport, "old.json").allocation;
  written.languages[0].pages[0].rows[0].cells[3] = "\"Speed\" \\ \n\u00e9\u20ac";
  const Allocation read =
      ParseAllocationExport(ExportText({}, written, {{"workbook", "/p/c.xls", "xls", 9}}, "0.1.0"),
                            "new.json")
          .allocation;
  ASSERT_EQ(written.languages.size(), read.languages.size());
  for (std::size_t l = 0; l < read.languages.size(); ++l) {
    EXPECT_EQ(written.languages[l].language, read.languages[l].language);
    const std::vector<AllocationPage>& pages = written.languages[l].pages;
    ASSERT_EQ(pages.size(), read.languages[l].pages.size());
    for (std::size_t p = 0; p < pages.size(); ++p) {
      const AllocationPage& page = read.languages[l].pages[p];
      EXPECT_EQ(pages[p].file, page.file);
      EXPECT_EQ(pages[p].kind, page.kind);
      EXPECT_EQ(pages[p].section, page.section);
      EXPECT_EQ(pages[p].machine, page.machine);
      ASSERT_EQ(pages[p].rows.size(), page.rows.size());
      for (std::size_t r = 0; r < page.rows.size(); ++r) {
        EXPECT_TRUE(IsSameRow(pages[p].rows[r], page.rows[r])) << page.file << " row " << r;
        EXPECT_EQ(OriginText(pages[p].rows[r].origin), OriginText(page.rows[r].origin));
        EXPECT_EQ(pages[p].rows[r].address_columns, page.rows[r].address_columns);
      }
    }
  }
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

TEST(ExportReaderTest, RefusesWhatIsNotAnExportOfThisVersion) {
  EXPECT_EQ("old.json: not an export of orvano-html", ErrorOf("[]"));
  EXPECT_EQ("old.json: not an export of orvano-html", ErrorOf("{}"));
  EXPECT_EQ("old.json: not an export of orvano-html",
            ErrorOf(Replaced(kExport, "\"orvano-html\"", "\"other\"")));
  EXPECT_EQ("old.json: not an export of orvano-html",
            ErrorOf(Replaced(kExport, "\"format_version\": 1,", "")));
  // The run report names the program and a version too.
  EXPECT_EQ("old.json: not an export of orvano-html",
            ErrorOf(Replaced(kExport, "\"format_version\": 1,",
                             "\"format_version\": 1, \"exit_status\": 0,")));
  EXPECT_EQ("old.json: export format version 2 is not supported (this program reads version 1)",
            ErrorOf(Replaced(kExport, "\"format_version\": 1", "\"format_version\": 2")));
  // Nesting deeper than any export is read without exhausting the stack.
  EXPECT_EQ("old.json: not an export of orvano-html",
            ErrorOf(std::string(100'000, '[') + std::string(100'000, ']')));
}

TEST(ExportReaderTest, TruncatedOrNotJsonGivesThePlace) {
  EXPECT_EQ("old.json: the export is truncated or not JSON (line 1, column 1)",
            ErrorOf("\xD0\xCF\x11\xE0 a workbook"));
  EXPECT_EQ("old.json: the export is truncated or not JSON (line 3, column 46)",
            ErrorOf(Replaced(kExport, "\"orvano-html\",", "\"orvano-html\" ")));
  EXPECT_EQ("old.json: the export is truncated or not JSON (line 1, column 1)", ErrorOf(""));
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
