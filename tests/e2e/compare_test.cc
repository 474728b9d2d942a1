// The compare command of the real orvano-html on exports written here: its lines, its JSON and
// its exit statuses (0 the same, 1 different, 2 trouble), as a build job relies on them.

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "demo_run.h"

namespace orvano {
namespace {

using nlohmann::json;
using testing::CommandOutcome;

json ExportRow(const std::string& position, const std::string& source,
               std::vector<std::string> cells) {
  return {{"section", "Drives"}, {"machine", "Filler"},    {"position", position},
          {"source", source},    {"class", cells.front()}, {"cells", cells},
          {"address_cells", {2}}};
}

json Export(json rows, json more_pages = json::array()) {
  json pages = {{{"file", "Drives_Filler.htm"},
                 {"kind", "section"},
                 {"section", "Drives"},
                 {"machine", "Filler"},
                 {"rows", std::move(rows)}}};
  for (json& page : more_pages) pages.push_back(std::move(page));
  return {{"format_version", 1},
          {"program", {{"name", "orvano-html"}, {"version", "0.1.0"}}},
          {"inputs",
           {{{"role", "workbook"},
             {"path", "/p/Collection.xls"},
             {"format", "xls"},
             {"bytes", 12345}}}},
          {"languages", {{{"id", "1033"}, {"pages", std::move(pages)}}}}};
}

class CompareTest : public ::testing::Test {
 protected:
  void SetUp() override {
    old_export_ =
        Export({ExportRow("1", "Collection.xls:Drives!17", {"12", "", "A100.0", "Speed"}),
                ExportRow("1", "Collection.xls:Drives!18", {"12", "", "A100.1", "Torque"}),
                ExportRow("2", "Collection.xls:Drives!19", {"12", "", "A101.0", "Brake"})});
    // A row inserted above moved the others down in the workbook: only the texts count.
    new_export_ = Export(
        {ExportRow("1", "Collection.xls:Drives!18", {"12", "", "A100.0", "Speed setpoint"}),
         ExportRow("1", "Collection.xls:Drives!19", {"12", "", "A100.1", "Torque"}),
         ExportRow("1", "Collection.xls:Drives!20", {"12", "", "A100.2", "Current", "", "4 A"})},
        {{{"file", "Hoist.htm"},
          {"kind", "section"},
          {"section", "Hoist"},
          {"machine", ""},
          {"rows", json::array()}}});
  }

  std::string Write(const std::string& name, const std::string& text) {
    testing::WriteBytes(dir_.path() + name, text);
    return dir_.path() + name;
  }

  // Runs "orvano-html compare <arguments>"; standard error goes after standard output.
  CommandOutcome Compare(const std::string& arguments) {
    return testing::RunCommand(std::string(ORVANO_HTML_EXE) + " compare " + arguments + " 2>&1");
  }

  testing::ScopedTempDir dir_;
  json old_export_;
  json new_export_;
};

// The exports here are valid by the export's schema; the same rows in another layout are no
// difference; the lines and the JSON name each change, either way round.
TEST_F(CompareTest, DifferencesAreListedOnePerLineOrAsJson) {
  const std::string old_path = Write("old.json", old_export_.dump());
  const std::string new_path = Write("new.json", new_export_.dump());
  ASSERT_TRUE(testing::MatchesSchema("export", old_path + " " + new_path));
  CommandOutcome outcome = Compare(old_path + " " + Write("copy.json", old_export_.dump(2)));
  EXPECT_EQ(0, outcome.status);
  EXPECT_EQ("no differences\n", outcome.output);

  outcome = Compare(old_path + " " + new_path);
  EXPECT_EQ(1, outcome.status);
  EXPECT_EQ(
      "Drives_Filler.htm [Filler, 1] Drives!18: changed: \"Speed\" -> \"Speed setpoint\"\n"
      "Drives_Filler.htm [Filler, 2] Drives!19: removed: \"A101.0\" \"Brake\"\n"
      "Drives_Filler.htm [Filler, 1] Drives!20: added: \"A100.2\" \"Current\" \"4 A\"\n"
      "Hoist.htm: added: page with 0 rows\n"
      "1 changed, 1 added, 1 removed in 2 pages (1 language)\n",
      outcome.output);
  outcome = Compare(new_path + " " + old_path);
  EXPECT_EQ(1, outcome.status);
  EXPECT_NE(std::string::npos, outcome.output.find("Hoist.htm: removed: page with 0 rows\n"))
      << outcome.output;

  outcome = Compare("--json " + old_path + " " + new_path);
  EXPECT_EQ(1, outcome.status);
  const json document = json::parse(outcome.output, nullptr, false);
  ASSERT_FALSE(document.is_discarded()) << outcome.output;
  EXPECT_EQ(json::parse(R"({"changed": 1, "added": 1, "removed": 1, "pages": 2, "languages": 1})"),
            document["summary"]);
  const json& changed = document["languages"][0]["pages"][0]["rows"][0];
  EXPECT_EQ(new_export_["languages"][0]["pages"][0]["rows"][0], changed["new"]);
  EXPECT_EQ(old_export_["languages"][0]["pages"][0]["rows"][0], changed["old"]);
  EXPECT_EQ(0, Compare(old_path + " " + old_path + " --json").status);
}

// What the export reader refuses (its own test has every fault) ends the command with 2,
// naming the file; so do a missing file and a missing argument.
TEST_F(CompareTest, UnreadableExportsAreNamedWithStatusTwo) {
  const std::string good = Write("good.json", old_export_.dump());
  const std::string workbook = Write("workbook.xls", "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1");
  CommandOutcome outcome = Compare(good + " " + workbook);
  EXPECT_EQ(2, outcome.status);
  EXPECT_EQ(
      "orvano-html: " + workbook + ": the export is truncated or not JSON (line 1, column 1)\n",
      outcome.output);
  const std::string missing = dir_.path() + "missing.json";
  outcome = Compare(missing + " " + good);
  EXPECT_EQ(2, outcome.status);
  EXPECT_EQ("orvano-html: cannot open '" + missing + "': No such file or directory\n",
            outcome.output);
  outcome = Compare(good);
  EXPECT_EQ(2, outcome.status);
  EXPECT_NE(std::string::npos, outcome.output.find("compare needs two exports")) << outcome.output;
}

}  // namespace
}  // namespace orvano
