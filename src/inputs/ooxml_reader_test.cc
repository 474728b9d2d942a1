#include "inputs/ooxml_reader.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "inputs/parsed_workbook.h"
#include "inputs/workbook_file.h"
#include "support/byte_reader.h"
#include "support/errors.h"
#include "support/file_system.h"
#include "testing/test_util.h"
#include "xls_writer/xls_writer.h"
#include "xlsx_writer/xlsx_writer.h"
#include "xlsx_writer/zip_builder.h"

namespace orvano {
namespace {

using ::testing::HasSubstr;
using Parts = std::map<std::string, std::string>;

constexpr char kMain[] = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
constexpr char kRelationshipTypes[] =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/";
constexpr char kSheetA[] = "xl/worksheets/a.xml";

std::string SheetPart(const std::string& sheet_data) {
  return std::string("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<worksheet xmlns=\"") + kMain +
         "\"><dimension ref=\"A1\"/><sheetData>" + sheet_data + "</sheetData></worksheet>";
}

// A workbook relationship of `type` ("worksheet") with `id` pointing at `target`.
std::string Relationship(const std::string& id, const std::string& type,
                         const std::string& target) {
  return "<Relationship Id=\"" + id + "\" Type=\"" + kRelationshipTypes + type + "\" Target=\"" +
         target + "\"/>";
}

// The parts of a small workbook: two worksheets (the second hidden) and a chart sheet between
// them, listed in the relationships in another order than the tabs.
Parts BaseParts() {
  return {
      {"[Content_Types].xml",
       "<?xml version=\"1.0\"?><Types "
       "xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
       "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
       "<Override PartName=\"/xl/workbook.xml\" ContentType=\"application/"
       "vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml\"/></Types>"},
      {"xl/workbook.xml",
       std::string("<workbook xmlns=\"") + kMain +
           "\" xmlns:rel=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">"
           "<sheets><sheet name=\"First &amp; one\" sheetId=\"1\" rel:id=\"rId3\"/>"
           "<sheet name=\"Chart\" sheetId=\"2\" rel:id=\"rId4\"/>"
           "<sheet name=\"Hidden\" sheetId=\"3\" state=\"hidden\" rel:id=\"rId1\"/>"
           "</sheets></workbook>"},
      {"xl/_rels/workbook.xml.rels",
       "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">" +
           Relationship("rId1", "worksheet", "worksheets/b.xml") +
           Relationship("rId2", "sharedStrings", "sharedStrings.xml") +
           Relationship("rId3", "worksheet", "/xl/worksheets/a.xml") +
           Relationship("rId4", "chartsheet", "chartsheets/c.xml") + "</Relationships>"},
      {"xl/sharedStrings.xml",
       std::string("<sst xmlns=\"") + kMain +
           "\" count=\"2\" uniqueCount=\"2\">"
           "<si><t>plain</t></si>"
           "<si><r><rPr><b/></rPr><t xml:space=\"preserve\">rich </t></r><r><t>text</t></r>"
           "<rPh sb=\"0\" eb=\"1\"><t>reading</t></rPh></si></sst>"},
      {kSheetA, SheetPart("<row r=\"1\"><c r=\"A1\" t=\"s\"><v>1</v></c></row>")},
      {"xl/worksheets/b.xml", SheetPart("")},
  };
}

std::string Archive(const Parts& parts) {
  std::vector<ZipMember> members;
  for (const auto& [name, bytes] : parts) members.push_back({name, bytes, true});
  return BuildZipArchive(members);
}

std::shared_ptr<ParsedWorkbook> Parse(const Parts& parts) {
  const std::string bytes = Archive(parts);
  return ParseOoxmlWorkbook(AsBytes(bytes), "w.xlsx");
}

// `parts` with the first `from` in `part` replaced by `to`.
Parts Edited(Parts parts, const std::string& part, const std::string& from, const std::string& to) {
  std::string& text = parts[part];
  const std::size_t at = text.find(from);
  EXPECT_NE(at, std::string::npos) << part << ": " << from;
  if (at != std::string::npos) text.replace(at, from.size(), to);
  return parts;
}

// The description of the error parsing `bytes` gives.
std::string ParseError(const std::string& bytes) {
  const testing::Thrown thrown =
      testing::ThrownBy([&] { ParseOoxmlWorkbook(AsBytes(bytes), "w.xlsx"); });
  EXPECT_EQ(thrown.number, err::kInvalidFileFormat) << thrown.description;
  return thrown.description;
}

TEST(OoxmlReaderTest, ReadsWorksheetsInTabOrderWithSharedStrings) {
  // A formatted empty cell adds no column.
  const auto wb = Parse(Edited(BaseParts(), kSheetA, "</row>", "<c r=\"C1\" s=\"1\"/></row>"));
  ASSERT_EQ(wb->sheet_count(), 2u);  // the chart sheet is no worksheet
  EXPECT_EQ(wb->sheet(0).columns, 1u);
  EXPECT_EQ(wb->sheet(0).name, "First & one");
  EXPECT_EQ(wb->sheet(1).name, "Hidden");
  EXPECT_EQ(wb->Value(0, 0, 0), Cell{std::string("rich text")});
  EXPECT_EQ(wb->sheet(1).rows + wb->sheet(1).columns, 0u);
  EXPECT_TRUE(wb->notes().empty());
}

// Packages written by generic packaging libraries declare the workbook only through the root
// relationships and a Default content type; the root relationships win over an Override.
TEST(OoxmlReaderTest, FindsTheWorkbookThroughTheRootRelationships) {
  Parts parts = BaseParts();
  parts["_rels/.rels"] =
      "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">" +
      Relationship("R1", "officeDocument", "/xl/workbook.xml") + "</Relationships>";
  // A main part that is no workbook: the Override's workbook is read.
  EXPECT_EQ(Parse(Edited(parts, "_rels/.rels", "/xl/workbook.xml", "/doc.xml"))->sheet(0).name,
            "First & one");
  parts["[Content_Types].xml"] =
      "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
      "<Default Extension=\"XML\" ContentType=\"application/"
      "vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml\"/></Types>";
  const auto wb = Parse(parts);
  ASSERT_EQ(wb->sheet_count(), 2u);
  EXPECT_EQ(wb->Value(0, 0, 0), Cell{std::string("rich text")});
  parts.erase("_rels/.rels");  // no way left to the workbook
  EXPECT_EQ(ParseError(Archive(parts)),
            "w.xlsx: not a spreadsheet: [Content_Types].xml names no workbook part (a text "
            "document or a presentation?)");
}

TEST(OoxmlReaderTest, ResolvesRelationshipTargetsInsideTheArchive) {
  const std::pair<const char*, const char*> targets[] = {
      {"worksheets/a.xml", "xl/worksheets/a.xml"},
      {"/xl/a.xml", "xl/a.xml"},
      {"../b.xml", "b.xml"},
      {".//x/./%41%2e.xml", "xl/x/A..xml"},
      {"x/%4", "xl/x/%4"},
      {"%2E%2E/c.xml", "c.xml"},
  };
  for (const auto& [target, member] : targets) {
    EXPECT_EQ(ResolvePartTarget("xl/workbook.xml", target), member) << target;
  }
  for (const char* target : {"../../a.xml", "/../a.xml", "x/../../../a.xml"}) {
    EXPECT_EQ(testing::ThrownBy([&] { ResolvePartTarget("xl/workbook.xml", target); }).description,
              "relationship target \"" + std::string(target) + "\" climbs above the archive");
  }
}

// A writer that could not save a sheet leaves it in the list with an empty relationship id.
TEST(OoxmlReaderTest, SkipsASheetWithAnEmptyRelationshipIdWithANote) {
  const auto wb = Parse(Edited(BaseParts(), "xl/workbook.xml", "</sheets>",
                               "<sheet name=\"Module\" sheetId=\"4\" rel:id=\"\"/></sheets>"));
  ASSERT_EQ(wb->sheet_count(), 2u);
  EXPECT_EQ(wb->sheet(1).name, "Hidden");
  EXPECT_EQ(wb->notes(), std::vector<std::string>{
                             "sheet \"Module\" (xl/workbook.xml) has an empty relationship id: "
                             "skipped"});
}

// Our writer and our reader meet: what libxlsxwriter saves reads back with the values the .xls
// of the same workbook gives.
TEST(OoxmlReaderTest, ReadsBackWhatTheXlsxWriterWrote) {
  const std::string text = "Grüße ✓ \"quoted\" <tag> & more";
  // Each cell as written and as read.
  const std::tuple<int, int, XlsCell, Cell> cells[] = {
      {0, 0, XlsCell::Text(text), text},
      {0, 1, XlsCell::Number(1e-300), 1e-300},
      {1, 0, XlsCell::Bool(true), std::string("TRUE")},
      {1, 1, XlsCell::Error(XlsError::kDiv0), std::string("#DIV/0!")},
      {2, 0, XlsCell::Formula(std::string("f")), std::string("f")},
      {2, 1, XlsCell::Formula(123456789012345.0), 123456789012345.0},
      {2, 2, XlsCell::Formula(false), std::string("FALSE")},
      {2, 3, XlsCell::Blank(), Cell()},
      {70000, 300, XlsCell::Number(-2), -2.0},
  };
  XlsWorkbook book;
  XlsSheet& s = book.AddSheet("Kinds");
  for (const auto& [row, column, written, read] : cells) s.Set(row, column, written);
  book.AddSheet("Second").Set(5, 5, XlsCell::Text("x"));
  testing::ScopedTempDir dir;
  auto fs = NewPosixFileSystem();
  WriteXlsx(*fs, dir.path() + "k.xlsx", book);
  const auto wb = ReadWorkbookFile(*fs, dir.path() + "k.xlsx");
  ASSERT_EQ(wb->sheet_count(), 2u);
  EXPECT_EQ(wb->sheet(1).name, "Second");
  for (const auto& [row, column, written, read] : cells) {
    EXPECT_EQ(wb->Value(0, row, column), read) << row << ", " << column;
  }
  EXPECT_EQ(wb->sheet(0).rows, 70001u);
  EXPECT_EQ(wb->sheet(0).columns, 301u);
}

// Missing parts and faults inside a part name the file, the sheet and the part (each fault
// itself: sheet_xml_test, xml_stream_test, zip_archive_test).
TEST(OoxmlReaderTest, RefusesMissingAndBadPartsNamingFileAndPlace) {
  const std::string sheet_a = "w.xlsx: sheet \"First & one\" (xl/worksheets/a.xml): ";
  struct Case {
    std::string part;
    std::optional<std::pair<std::string, std::string>> edit;  // none: the part is removed
    std::string message;
  };
  const Case cases[] = {
      {"[Content_Types].xml", std::nullopt,
       "w.xlsx: not an Office Open XML workbook: the archive has no [Content_Types].xml part"},
      {"xl/workbook.xml", std::nullopt,
       "w.xlsx: xl/workbook.xml: part \"xl/workbook.xml\" is missing from the archive"},
      {"xl/_rels/workbook.xml.rels", std::nullopt,
       "w.xlsx: xl/_rels/workbook.xml.rels: part \"xl/_rels/workbook.xml.rels\" is missing "
       "from the archive"},
      {"xl/worksheets/b.xml", std::nullopt,
       "w.xlsx: sheet \"Hidden\" (xl/worksheets/b.xml): part \"xl/worksheets/b.xml\" is "
       "missing from the archive"},
      {"xl/workbook.xml", std::pair{"rId1", "rId9"},
       "w.xlsx: sheet \"Hidden\": its relationship \"rId9\" is missing from "
       "xl/_rels/workbook.xml.rels"},
      {"[Content_Types].xml", std::pair{"spreadsheetml.sheet", "wordprocessingml.document"},
       "w.xlsx: not a spreadsheet: [Content_Types].xml names no workbook part (a text "
       "document or a presentation?)"},
      {kSheetA, std::pair{"<sheetData>", "<sheetData><row><c><v>1</v></row>"},
       sheet_a + "line 2, column 128: not well-formed XML (mismatched tag)"},
      {kSheetA, std::pair{"<sheetData>", "<sheetData><row><c r=\"B3\"><v>1,5</v></c></row>"},
       sheet_a + "cell B3: \"1,5\" is not a number"},
      {kSheetA, std::pair{"<sheetData>", "<sheetData><row><c r=\"B3\" t=\"s\"><v>2</v></c></row>"},
       sheet_a + "cell B3: shared string index 2 lies past the 2 strings of the shared string "
                 "table"},
      {"xl/sharedStrings.xml", std::pair{"</sst>", ""},
       "w.xlsx: xl/sharedStrings.xml: line 1, column 240: not well-formed XML (no element "
       "found)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    Parts parts = BaseParts();
    if (c.edit) {
      parts = Edited(parts, c.part, c.edit->first, c.edit->second);
    } else {
      parts.erase(c.part);
    }
    EXPECT_EQ(ParseError(Archive(parts)), c.message);
  }
  // The inflation budget is the whole file's: a part inflating far past 200 times its size.
  Parts parts = BaseParts();
  parts[kSheetA] += std::string(3 << 20, ' ');
  const std::string bomb = Archive(parts);
  ASSERT_LT(bomb.size() * 200, 3u << 20);
  EXPECT_THAT(ParseError(bomb), HasSubstr("refused as a ZIP bomb"));
}

// The parts are read on several threads; what comes out, and the first fault reported, is the
// same on one.
TEST(OoxmlReaderTest, ThreadsChangeNothing) {
  Parts parts = BaseParts();
  std::string sheets;
  std::string relationships;
  for (int k = 0; k < 8; ++k) {
    const std::string n = std::to_string(k);
    sheets += "<sheet name=\"S" + n + "\" rel:id=\"rIdS" + n + "\"/>";
    relationships += Relationship("rIdS" + n, "worksheet", "worksheets/s" + n + ".xml");
    std::string data;
    for (int r = 1; r <= 50; ++r) {
      data += "<row><c t=\"s\"><v>" + std::to_string(r % 2) + "</v></c><c><v>" +
              std::to_string(k * 1000 + r) + "</v></c><c t=\"inlineStr\"><is><t>s" + n + "r" +
              std::to_string(r) + "</t></is></c></row>";
    }
    parts["xl/worksheets/s" + n + ".xml"] = SheetPart(data);
  }
  parts = Edited(parts, "xl/workbook.xml", "</sheets>", sheets + "</sheets>");
  parts = Edited(parts, "xl/_rels/workbook.xml.rels", "</Relationships>",
                 relationships + "</Relationships>");
  const std::string bytes = Archive(parts);
  const auto one = ParseOoxmlWorkbook(AsBytes(bytes), "w.xlsx", 1);
  const auto four = ParseOoxmlWorkbook(AsBytes(bytes), "w.xlsx", 4);
  ASSERT_EQ(one->sheet_count(), 10u);
  ASSERT_EQ(four->sheet_count(), 10u);
  for (std::size_t k = 0; k < one->sheet_count(); ++k) {
    ASSERT_EQ(one->sheet(k).cells.size(), four->sheet(k).cells.size()) << k;
    for (const WorkbookCell& cell : one->sheet(k).cells) {
      EXPECT_EQ(one->Value(&cell), four->Value(k, cell.row, cell.column)) << k;
    }
  }
  EXPECT_EQ(four->Value(9, 49, 2), Cell{std::string("s7r50")});

  parts["xl/worksheets/s2.xml"] = SheetPart("<row><c r=\"B1\" t=\"s\"><v>7</v></c></row>");
  parts["xl/worksheets/s6.xml"] = SheetPart("<row><c r=\"B1\"><v>x</v></c></row>");
  const std::string bad = Archive(parts);
  for (unsigned threads : {1u, 2u, 4u}) {
    EXPECT_EQ(
        testing::ThrownBy([&] { ParseOoxmlWorkbook(AsBytes(bad), "w.xlsx", threads); }).description,
        "w.xlsx: sheet \"S6\" (xl/worksheets/s6.xml): cell B1: \"x\" is not a number")
        << threads;
  }
}

}  // namespace
}  // namespace orvano
