#include "workbook_dump/workbook_dump.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <nlohmann/json.hpp>
#include <string>
#include <tuple>
#include <vector>

#include "inputs/parsed_workbook.h"
#include "inputs/workbook_file.h"
#include "testing/test_util.h"
#include "xls_writer/xls_writer.h"
#include "xlsx_writer/xlsx_writer.h"

namespace orvano {
namespace {

TEST(WorkbookDumpTest, WritesNumbersAsTheDumpsDo) {
  const std::pair<double, const char*> numbers[] = {
      {42, "42.0"},         {-0.0, "-0.0"},
      {12.3456, "12.3456"}, {0.0001, "0.0001"},
      {0.00001, "1e-05"},   {1e15, "1000000000000000.0"},
      {1e16, "1e+16"},      {1.2345678901234567e17, "1.2345678901234566e+17"}};
  for (const auto& [number, json] : numbers) EXPECT_EQ(NumberJson(number), json);
  EXPECT_EQ(StringJson("a\"b\\c\n\x01\xCE\xB1"), "\"a\\\"b\\\\c\\n\\u0001\xCE\xB1\"");
}

bool EndsWith(const std::string& name, const std::string& suffix) {
  return name.size() >= suffix.size() && name.substr(name.size() - suffix.size()) == suffix;
}

// Where two parsed dumps differ ("" when they agree): numbers count as equal within a few units
// in the last place, because the independent .xlsx reader turns cells formatted as dates into
// date-times and back, which moves the last bit of a date-time's serial number.
std::string JsonDifference(const nlohmann::json& expected, const nlohmann::json& actual,
                           const std::string& path = "sheets") {
  if (expected.is_number() && actual.is_number()) {
    const double a = expected.get<double>();
    const double b = actual.get<double>();
    return std::fabs(a - b) <= 1e-15 * std::max(std::fabs(a), std::fabs(b))
               ? ""
               : path + ": " + expected.dump() + " != " + actual.dump();
  }
  if (expected.is_structured() && expected.type() == actual.type() &&
      expected.size() == actual.size()) {
    for (auto it = expected.begin(); it != expected.end(); ++it) {
      const std::string key =
          expected.is_array() ? std::to_string(std::distance(expected.begin(), it)) : it.key();
      const nlohmann::json& other =
          expected.is_array() ? actual[std::distance(expected.begin(), it)] : actual[it.key()];
      const std::string difference = JsonDifference(*it, other, path + "/" + key);
      if (!difference.empty()) return difference;
    }
    return "";
  }
  return expected == actual ? "" : path + ": " + expected.dump() + " != " + actual.dump();
}

// Every workbook beside its dump (written by other programs, dumped by an independent reader)
// reads as the dump says from the sheets on (the file and reader names before them differ): an
// .xls byte for byte, an .xlsx as parsed JSON (its reader writes whole numbers without ".0").
TEST(WorkbookDumpTest, MatchesTheRealWorldDumps) {
  ORVANO_SKIP_IF_NO_SHARED(folder, "realworld/");
  auto fs = NewPosixFileSystem();
  const auto sheets = [](const std::string& json) { return json.substr(json.find("\"sheets\"")); };
  int compared_xls = 0;
  int compared_xlsx = 0;
  for (const FolderEntry& entry : fs->ListFolder(folder)) {
    const std::string& name = entry.name;
    const bool is_xls = EndsWith(name, ".xls");
    if (!is_xls && !EndsWith(name, ".xlsx")) continue;
    if (!fs->IsFile(folder + name + ".json")) continue;  // refused: see the test below
    SCOPED_TRACE(name);
    const std::string expected = testing::ReadBytes(folder + name + ".json");
    ASSERT_NE(expected.find("\"sheets\""), std::string::npos);
    const std::string actual = WorkbookToJson(*ReadWorkbookFile(*fs, folder + name), name);
    if (is_xls) {
      EXPECT_EQ(sheets(expected), sheets(actual));
      ++compared_xls;
    } else {
      EXPECT_EQ(JsonDifference(nlohmann::json::parse(expected)["sheets"],
                               nlohmann::json::parse(actual)["sheets"]),
                "");
      ++compared_xlsx;
    }
  }
  EXPECT_GE(compared_xls, 6);
  EXPECT_GE(compared_xlsx, 7);
}

// The command reads either format by its first bytes, under its old name too, and prints every
// cell kind as the dumps do, for an .xls and for an .xlsx saved under an .xls name.
TEST(WorkbookDumpTest, CommandDumpsEveryCellKindOfEitherFormat) {
  XlsWorkbook book;
  XlsSheet& s = book.AddSheet("Kinds");
  s.Set(0, 0, XlsCell::Text("t\"x"));
  s.Set(0, 1, XlsCell::Number(0.5));
  s.Set(1, 0, XlsCell::Bool(true));
  s.Set(1, 1, XlsCell::Error(XlsError::kDiv0));
  s.Set(2, 0, XlsCell::Formula(std::string("f")));
  s.Set(2, 3, XlsCell::Blank());
  book.AddSheet("Empty");
  testing::ScopedTempDir dir;
  auto fs = NewPosixFileSystem();
  WriteXls(*fs, dir.path() + "a.xls", book);
  WriteXlsx(*fs, dir.path() + "b.xls", book);
  const std::string exe = WORKBOOK_DUMP_EXE;
  const std::string old_name = exe.substr(0, exe.rfind('/') + 1) + "xls_dump";
  // The .xlsx writer saves an error value as a formula's text result.
  const std::tuple<std::string, std::string, std::string> runs[] = {
      {exe, "a.xls", "\"error\", 7"}, {old_name, "b.xls", "\"text\", \"#DIV/0!\""}};
  for (const auto& [command, file, error] : runs) {
    const testing::CommandOutcome dump = testing::RunCommand(command + " " + dir.path() + file);
    EXPECT_EQ(dump.status, 0);
    EXPECT_EQ(dump.output, "{\"file\": \"" + file +
                               "\", \"reader\": \"orvano workbook_dump\", \"sheets\": [\n"
                               " {\"tab\": \"Kinds\", \"rows\": 3, \"columns\": 2, \"cells\": [\n"
                               "   [0, 0, \"text\", \"t\\\"x\"],\n"
                               "   [0, 1, \"number\", 0.5],\n"
                               "   [1, 0, \"boolean\", 1],\n"
                               "   [1, 1, " +
                               error +
                               "],\n"
                               "   [2, 0, \"text\", \"f\"]\n"
                               "  ]},\n"
                               " {\"tab\": \"Empty\", \"rows\": 0, \"columns\": 0, \"cells\": [\n"
                               "\n"
                               "  ]}\n"
                               "]}\n");
  }
}

}  // namespace
}  // namespace orvano
