#include <gtest/gtest.h>

#include "jet/jet_database.h"
#include "project_sources.h"
#include "project_writer.h"
#include "support/errors.h"
#include "support/text_codec.h"
#include "testing/test_util.h"

namespace orvano::tools {
namespace {

using testing::ReadBytes;
using testing::WriteBytes;

struct MakeProjectTest : public ::testing::Test {
  orvano::testing::ScopedTempDir dir;
  std::unique_ptr<FileSystem> fs = NewPosixFileSystem();

  // A source folder with one sheet, two languages and one template.
  std::string WriteSources(const std::string& texts) {
    std::string src = dir.path() + "src/";
    orvano::testing::MakeFolders(src + "workbook");
    orvano::testing::MakeFolders(src + "templates");
    WriteBytes(src + "texts.tsv", texts);
    WriteBytes(src + "languages.tsv", "LCID\tFont\n1031\tArial 10 0 0 0 0 0 0\n1049\t\\N\n");
    WriteBytes(src + "language_names.tsv",
               "Language\tName\tCodePage\tFONT\n1031\tDeutsch\t1252\t1\n1049\tРусский\t\\N\t1\n");
    WriteBytes(src + "Orvano.doc", "[Setup]\nSections=1\n; Größe\n");
    WriteBytes(src + "workbook/1_Standard.txt", "Standard\nStandard\n12\t\tAuf ###FLD\n");
    WriteBytes(src + "templates/Source_Main.htm", "<html>\n<p>###MASCHINE###1</p>\n</html>\n");
    WriteBytes(src + "templates/Brenk.gif", std::string("GIF89a\0\x01", 8));
    return src;
  }
};

TEST_F(MakeProjectTest, BuildsAProjectEveryReaderOpens) {
  std::string src = WriteSources(
      "AddrIndex\t1031\t1049\n"
      "Alarms.Stop\tHalt\tСтоп\n"
      "Alarms.Line.Jam\tStau\\tA\t\\N\n"
      "Other.Line.Jam\tX\tY\n"
      "NoGroup\ta\tb\n");
  ProjectSources sources = ReadProjectSources(*fs, src);
  ProjectPaths paths = WriteProject(*fs, sources, dir.path() + "out/");

  auto db = JetDatabase::Open(paths.database);
  Table groups = db->ReadTable("TidxGroups");
  ASSERT_EQ(4u, groups.row_count());  // Alarms, Alarms.Line, Other, Other.Line
  EXPECT_EQ("Line", groups.TextAt(2, 1));
  EXPECT_EQ("1", groups.TextAt(1, 1));  // Line under Alarms
  EXPECT_EQ("3", groups.TextAt(1, 3));  // the other Line under Other
  Table texts = db->ReadTable("TidxTexts", {"ParentID", "Name", "L1031", "L1049"});
  ASSERT_EQ(4u, texts.row_count());
  EXPECT_EQ("Стоп", texts.TextAt(3, 0));
  EXPECT_EQ("Stau\tA", texts.TextAt(2, 1));
  EXPECT_TRUE(IsNull(texts.At(3, 1)));
  EXPECT_EQ("0", texts.TextAt(0, 3));  // a text without group hangs under no group
  Table languages = db->ReadTable("Tlanguages");
  EXPECT_EQ("Arial 10 0 0 0 0 0 0", languages.TextAt(1, 0));
  EXPECT_TRUE(IsNull(languages.At(1, 1)));

  Table names = JetDatabase::Open(paths.language_database)->ReadTable("LookUpLanguages");
  EXPECT_EQ("Русский", names.TextAt(1, 1));
  EXPECT_TRUE(IsNull(names.At(2, 1)));

  EXPECT_EQ(
      "[Setup]\r\nSections=1\r\n; Gr\xF6\xDF"
      "e\r\n",
      ReadBytes(paths.description));
  EXPECT_EQ(
      EncodeText("<html>\r\n<p>###MASCHINE###1</p>\r\n</html>\r\n", TextEncoding::kUtf16LeBom),
      ReadBytes(paths.template_folder + "Source_Main.htm"));

  // A .vws database keeps its languages in TcfgLanguages.
  ProjectOptions vws;
  vws.database_name = "Project.vws";
  paths = WriteProject(*fs, sources, dir.path() + "vws/", vws);
  EXPECT_TRUE(JetDatabase::Open(paths.database)->HasTable("TcfgLanguages"));
}

TEST_F(MakeProjectTest, RefusesMalformedSourcesNamingTheLine) {
  for (const auto& [texts, part] : std::vector<std::pair<std::string, std::string>>{
           {"AddrIndex\t1031\nA.B\tx\ty\n", "texts.tsv, line 2"},
           {"Index\t1031\n", "AddrIndex"},
           {"AddrIndex\t1031\nA.B\tbad\\q\n", "unknown escape"},
           {"AddrIndex\t1031\n\\N\tx\n", "address index"}}) {
    const std::string src = WriteSources(texts);
    EXPECT_NE(std::string::npos,
              orvano::testing::ProgramErrorOf([&] { ReadProjectSources(*fs, src); }).find(part))
        << texts;
  }
}

// The demo project is what the end-to-end tests run; it must exercise the whole template
// language and build into a complete project.
TEST(DemoProject, BuildsAndUsesEveryKeyword) {
  orvano::testing::ScopedTempDir dir;
  auto fs = NewPosixFileSystem();
  ProjectSources sources =
      ReadProjectSources(*fs, std::string(ORVANO_SOURCE_DIR) + "/examples/demo/");
  ProjectPaths paths = WriteProject(*fs, sources, dir.path());

  std::string all;
  for (const TemplateFile& file : sources.templates) all += file.bytes + "\n";
  for (const XlsSheet& sheet : sources.workbook.sheets) {
    for (const auto& [place, cell] : sheet.cells) {
      if (const auto* text = std::get_if<std::string>(&cell.value)) all += *text + "\n";
    }
  }
  for (const std::string& keyword : SplitLines(
           "###Overview\n###Main\n###MNR\n###FLD\n###OVERVIEW\n###MAIN\n###SDR[REJ]\n###SDR[WAR]\n"
           "###SDR[ALA]\n###EDR[REJ]\n###EDR[WAR]\n###EDR[ALA]\n###IF \n ###THEN \n###ELSE\n"
           "###ENDIF\nMITAUSWURFZAEHLERN\nMITZUSATZSERVICEPRESETS\n###ADDR:\n:ADDR\n###INDEX:\n"
           ":INDEX\n[MNR]\n[PLC]\n[FLD]\n[FLDNULL]\n[FREJ]\n[FALA]\n[FWAR]\n###DIREKT###\n"
           "###ZELLE###\n###ZIEL_HTML###\n###ZIEL_D_HTML###\n###MASCHINE###\n###MASCHINEID###\n"
           "###MENU_TEXT###\n###UEBERSCHRIFT###\n###MENU_TEXT_MODUL###\n###MENU_TEXT_MACHINE###\n"
           "###FONTBEZUGANFANG###\n###FONTBEZUGENDE###\n###MASCHINE###1\n###MASCHINEID###1\n"
           "###FONTCLASS###\n###FONT###\n###SIZE###\n###FONTBEZUG###EIN\n###FONTBEZUG###HAUPT\n"
           "###FONTBEZUG###AUS\n###FONTBEZUG###ENDE")) {
    EXPECT_NE(std::string::npos, all.find(keyword)) << keyword;
  }
  for (const char* name : {"Source_Main.htm", "Source_Menu.htm", "Source_OverView.htm",
                           "Source_Section.htm", "Source_Section_d.htm", "Source_Section_OPC.htm",
                           "Source_Section_OPC_d.htm", "Index.htm", "Brenk.gif"}) {
    EXPECT_TRUE(fs->IsFile(paths.template_folder + name)) << name;
  }
  auto db = JetDatabase::Open(paths.database);
  EXPECT_EQ(13u, db->ReadTable("TidxTexts").row_count());
  EXPECT_EQ(3u,
            JetDatabase::Open(paths.language_database)->ReadTable("LookUpLanguages").row_count());
  EXPECT_EQ(4u, sources.workbook.sheets.size());
}

}  // namespace
}  // namespace orvano::tools
