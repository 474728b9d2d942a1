#include "generation/allocation_export.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <random>

namespace orvano {
namespace {

Allocation TwoRows() {
  AllocationRow first;
  first.section = "Drives";
  first.machine = "Filler";
  first.position = "1";
  first.origin = {"Collection.xls", "Drives", 17, 0, 0};
  first.font_class = "12";
  first.cells = {"12", "", "A100.1", "Speed, \"set\"\r\nnext"};
  first.address_columns = {2};
  AllocationRow second;
  second.section = "Standard";
  second.origin = {"Collection.xls", "Standard", 14, 2, 3};
  second.font_class = "13";
  second.cells = {"13", "", "\xD0\x9F\xD1\x83\xD1\x81\xD0\xba"};
  Allocation allocation;
  allocation.languages.push_back(
      {"1033",
       "/out/",
       {{"Drives_Filler.htm", AllocationPageKind::kSection, "Drives", "Filler", {first}},
        {"Overview.htm", AllocationPageKind::kOverview, "", "", {second}}}});
  return allocation;
}

TEST(AllocationExportTest, TheExtensionChoosesTheFormat) {
  EXPECT_EQ(ExportFormat::kJson, ExportFormatOf("/a/rows.json"));
  EXPECT_EQ(ExportFormat::kCsv, ExportFormatOf("rows.CSV"));
  EXPECT_EQ(std::nullopt, ExportFormatOf("/a.json/rows"));
  EXPECT_EQ(std::nullopt, ExportFormatOf("rows.txt"));
  EXPECT_EQ(std::nullopt, ExportFormatOf("json"));
}

TEST(AllocationExportTest, CsvQuotesWhatNeedsItAndPadsEveryRowToTheMostCells) {
  EXPECT_EQ(
      "language,page,section,machine,position,kind,source,class,cell1,cell2,cell3,cell4\r\n"
      "1033,Drives_Filler.htm,Drives,Filler,1,section,Collection.xls:Drives!17,12,12,,A100.1,"
      "\"Speed, \"\"set\"\"\r\nnext\"\r\n"
      "1033,Overview.htm,Standard,,,overview,"
      "\"Collection.xls:Standard!14 (block 2, repetition 3)\",13,13,,"
      "\xD0\x9F\xD1\x83\xD1\x81\xD0\xba,\r\n",
      ExportText({ExportFormat::kCsv, MostCells(TwoRows())}, TwoRows(), {}, ""));
  EXPECT_EQ("language,page,section,machine,position,kind,source,class\r\n",
            ExportText({ExportFormat::kCsv, 0}, Allocation(), {}, ""));
}

// The rows' fields are read back by the export reader's round trip and the whole-program
// test; here the writer's own escaping of strings.
TEST(AllocationExportTest, JsonEscapesEveryCharacterAndStaysADocument) {
  const std::vector<InputFile> inputs = {{"workbook", "/p/Collection.xls", "xls", 6144}};
  // Every character JSON must escape reads back as it was.
  Allocation awkward = TwoRows();
  std::string all;
  for (int c = 1; c < 0x80; ++c) all += static_cast<char>(c);
  awkward.languages[0].pages[0].rows[0].cells[1] = all + "\xE2\x80\xA8\xF0\x9F\x98\x80";
  EXPECT_EQ(all + "\xE2\x80\xA8\xF0\x9F\x98\x80",
            nlohmann::json::parse(ExportText(
                {}, awkward, inputs, "1"))["languages"][0]["pages"][0]["rows"][0]["cells"][1]);
  // A language without pages and a text that is no UTF-8 still give a document.
  Allocation odd;
  odd.languages.push_back({"1049", "/out/", {}});
  odd.languages.push_back({"\xFF", "/out/", {}});
  EXPECT_EQ(2U, nlohmann::json::parse(ExportText({}, odd, {}, "1.2.3"))["languages"].size());
}

// Texts of every kind, and long enough for the escaper's eight-byte steps: what the export
// holds reads back as the text, or for bytes that are not UTF-8 as the JSON library's
// replacement of them.
TEST(AllocationExportTest, JsonReadsBackEveryTextAsTheJsonLibraryWritesIt) {
  const std::string_view pieces[] = {"a",
                                     "Motor ",
                                     "\"",
                                     "\\",
                                     "\n",
                                     "\x01",
                                     "\x7F",
                                     "\xC3\xBC",
                                     "\xD0\x96",
                                     "\xE2\x80\xA8",
                                     "\xF0\x9F\x98\x80",
                                     "ABCDEFGHIJ"};
  const std::string_view broken[] = {"\xC3", "\x80", "\xED\xA0\x80", "\xC0\xAF", "\xFF"};
  std::mt19937 random(7);
  Allocation allocation = TwoRows();
  std::vector<std::string>& cells = allocation.languages[0].pages[0].rows[0].cells;
  cells.clear();
  for (int n = 0; n < 400; ++n) {
    std::string text;
    const int parts = static_cast<int>(random() % 24);
    for (int p = 0; p < parts; ++p) text += pieces[random() % std::size(pieces)];
    if (n % 8 == 0) text.insert(random() % (text.size() + 1), broken[random() % std::size(broken)]);
    cells.push_back(text);
  }
  const nlohmann::json read = nlohmann::json::parse(ExportText({}, allocation, {}, "1"));
  const nlohmann::json& read_cells = read["languages"][0]["pages"][0]["rows"][0]["cells"];
  ASSERT_EQ(cells.size(), read_cells.size());
  for (std::size_t c = 0; c < cells.size(); ++c) {
    const std::string expected =
        nlohmann::json::parse(
            nlohmann::json(cells[c]).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace))
            .get<std::string>();
    EXPECT_EQ(expected, read_cells[c].get<std::string>()) << c;
  }
}

}  // namespace
}  // namespace orvano
