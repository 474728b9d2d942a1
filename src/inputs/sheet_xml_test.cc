#include "inputs/sheet_xml.h"

#include <gtest/gtest.h>

#include <string>

#include "inputs/parsed_workbook.h"
#include "inputs/xml_stream.h"
#include "support/byte_reader.h"
#include "testing/test_util.h"

namespace orvano {
namespace {

// The cells of a worksheet whose sheetData holds `rows`, read beside a shared string table of
// the two strings "s0" and "s1": one line per cell, "B2 value" (texts quoted). On damage, the
// DataError's message.
std::string Cells(const std::string& rows, bool date1904 = false) {
  ParsedWorkbook workbook;
  workbook.AddText("s0");
  workbook.AddText("s1");
  SheetDataHandler handler(date1904);
  try {
    XmlStreamParser parser(handler);
    // Rows outside sheetData are not cells.
    parser.Feed("<worksheet><row><c><v>9</v></c></row><sheetData>" + rows +
                "</sheetData><row><c><v>9</v></c></row></worksheet>");
    parser.Finish();
    workbook.AddSheet("S", handler.TakeCells(workbook, 2));
  } catch (const DataError& e) {
    return e.what();
  }
  std::string out;
  for (const WorkbookCell& cell : workbook.sheet(0).cells) {
    const Cell value = workbook.Value(&cell);
    const bool is_text = std::holds_alternative<std::string>(value);
    out += CellReferenceOf({cell.row, cell.column}) + " " + (is_text ? "'" : "") + CellText(value) +
           (is_text ? "'" : "") + "\n";
  }
  return out;
}

TEST(SheetXmlTest, ReadsCellsAndTheirPositions) {
  EXPECT_EQ(Cells("<row r=\"3\"><c><v> +2.5 </v></c><c r=\"D3\" t=\"b\"><v>true</v></c>"
                  "<c t=\"e\"><v>#SPILL!</v></c></row>"
                  "<row><c t=\"s\"><v>1</v></c><c r=\"C9\"><v>1e3</v></c><c><v>-0</v></c></row>"
                  "<row><c t=\"inlineStr\"><is><t>in</t><rPh><t>reading</t></rPh><t>line</t>"
                  "</is></c></row>"
                  // Formula results; formulas never calculated and formatted cells hold nothing.
                  "<row><c t=\"str\"><f>X</f><v>ab</v></c><c><f>A1*2</f><v></v></c>"
                  "<c t=\"str\"><f>X1</f><v></v></c><c s=\"1\"/><c t=\"s\"><v/></c>"
                  "<c t=\"inlineStr\"><is><r><t>in</t></r><r><t>line</t></r></is></c>"
                  "<c><is><t>no t</t></is></c><c t=\"b\"><f>1=1</f><v>0</v></c></row>"),
            "A3 2.5\nD3 'TRUE'\nE3 '#SPILL!'\nA4 's1'\nC9 1000\nD9 0\nA10 'inline'\n"
            "A11 'ab'\nF11 'inline'\nG11 'no t'\nH11 'FALSE'\n");
  // Dates: the 1900 system counts a 29 February 1900 that never was; the 1904 system does not.
  const std::string dates =
      "<row><c t=\"d\"><v>1900-02-28</v></c><c t=\"d\"><v>1900-03-01T06:00</v></c>"
      "<c t=\"d\"><v>1904-01-02T00:00:30.5Z</v></c></row>";
  EXPECT_EQ(Cells(dates), "A1 59\nB1 61.25\nC1 1463.00035300926\n");
  EXPECT_EQ(Cells(dates, true), "A1 -1402\nB1 -1400.75\nC1 1.00035300925926\n");
}

TEST(SheetXmlTest, RefusesBadCellsNamingTheCell) {
  const std::pair<const char*, const char*> cases[] = {
      {"<row><c r=\"C2\" t=\"d\"><v>2026-13-01</v></c></row>",
       "cell C2: \"2026-13-01\" is not a date"},
      {"<row><c r=\"C2\" t=\"s\"><v>-1</v></c></row>",
       "cell C2: shared string index \"-1\" is not a number"},
      {"<row><c r=\"C2\" t=\"s\"><v>2</v></c></row>",
       "cell C2: shared string index 2 lies past the 2 strings of the shared string table"},
      {"<row><c r=\"C2\"><v>1,5</v></c></row>", "cell C2: \"1,5\" is not a number"},
      {"<row><c r=\"C2\" t=\"b\"><v>yes</v></c></row>", "cell C2: \"yes\" is not a boolean"},
      {"<row><c r=\"C2\" t=\"x\"><v>1</v></c></row>", "cell C2: unknown cell type \"x\""},
      {"<row r=\"0\"/>", "row number \"0\" is not one of the format's rows 1..1048576"},
      {"<row r=\"1048577\"/>", "row number \"1048577\" is not one of the format's rows 1..1048576"},
      {"<row r=\"1048576\"/><row/>", "a row after row 1048576 (the format's last row)"},
      {"<row><c r=\"XFD1\"/><c><v>1</v></c></row>",
       "a cell after column XFD in row 1 (the format's 16 384 columns)"},
      {"<row><c r=\"1A\"><v>1</v></c></row>", "cell reference \"1A\" has no column letters"},
  };
  for (const auto& [rows, message] : cases) EXPECT_EQ(Cells(rows), message) << rows;
}

TEST(CellReferenceTest, ReadsAndWritesEveryColumnWidth) {
  const std::pair<const char*, CellPosition> references[] = {
      {"A1", {0, 0}},    {"Z1", {0, 25}},    {"AA1", {0, 26}},
      {"ZZ7", {6, 701}}, {"AAA1", {0, 702}}, {"XFD1048576", {1048575, 16383}},
      {"$B$3", {2, 1}},  {"b3", {2, 1}},     {"B003", {2, 1}},
  };
  for (const auto& [text, position] : references) {
    const CellPosition read = ParseCellReference(text);
    EXPECT_EQ(read.row, position.row) << text;
    EXPECT_EQ(read.column, position.column) << text;
  }
  EXPECT_EQ(CellReferenceOf({1048575, 16383}), "XFD1048576");
  EXPECT_EQ(CellReferenceOf({6, 701}), "ZZ7");
}

TEST(CellReferenceTest, RefusesWhatIsNoReferenceNamingIt) {
  const auto error = [](std::string_view reference) {
    return testing::ThrownBy([&] { ParseCellReference(reference); }).description;
  };
  const std::string beyond_column = "lies beyond column XFD (the format's 16 384 columns)";
  const std::string beyond_row = "lies beyond row 1048576 (the format's 1 048 576 rows)";
  const std::pair<const char*, std::string> cases[] = {
      {"", "has no column letters"},   {"$", "has no column letters"},
      {"12", "has no column letters"}, {"B", "has no row number"},
      {"B$", "has no row number"},     {"B0", "has no row number"},
      {"B1x", "has no row number"},    {"B 1", "has no row number"},
      {"B-1", "has no row number"},    {"XFE1", beyond_column},
      {"AAAA1", beyond_column},        {"B1048577", beyond_row},
      {"B99999999999", beyond_row},
  };
  for (const auto& [reference, fault] : cases) {
    EXPECT_EQ(error(reference), "cell reference \"" + std::string(reference) + "\" " + fault);
  }
}

TEST(DateTimeToSerialTest, RefusesWhatIsNoDate) {
  for (const char* text :
       {"", "x", "2026-1-01", "2026-13-01", "2026-00-10", "2026-12-00", "2026-12-06 14:30",
        "2026-12-06T14", "2026-12-06T1430", "2026-12-06T14:60",
        "2026-12-06T14:30:", "2026-12-06T14:30:61", "2026-12-06T14:30+01:00"}) {
    EXPECT_EQ(testing::ThrownBy([&] { DateTimeToSerial(text, false); }).description,
              "\"" + std::string(text) + "\" is not a date");
  }
}

}  // namespace
}  // namespace orvano
