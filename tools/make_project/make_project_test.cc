#include <gtest/gtest.h>

#include "jet/jet_database.h"
#include "project_sources.h"
#include "project_writer.h"
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

}  // namespace
}  // namespace orvano::tools
