// Times building and writing the section pages (page and detail twin) of one machine-dependent
// sheet for every machine, each machine with several positions, as the driver does for one
// section. Usage: section_pages_bench [folder] (default /tmp/). Runs three sizes, 1x (1000 rows,
// 8 machines, 4 positions), 4x and 16x the rows x machines x positions, and prints for each the
// least wall time and the least CPU time of several rounds, the bytes of the pages written, and
// those bytes per second of the least wall time (MB/s, 10^6 bytes), all on one thread. The timed
// loop reads every page back to count its bytes. Exits 2 when 1x takes 0.3 s or more.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "support/error_sink.h"
#include "support/file_system.h"
#include "support/ini_file.h"
#include "templates/page_output.h"
#include "templates/page_state.h"
#include "templates/page_text.h"
#include "templates/prepared_part.h"
#include "templates/run_inputs.h"

namespace {

constexpr int kRounds = 3;

// Counts failures and notes; a bench run expects neither.
class CountingErrorSink final : public orvano::ErrorSink {
 public:
  void ReportFailure(std::string_view) override { ++failures; }
  void Note(orvano::ProblemKind, std::string_view) override { ++notes; }
  void KeepResponsive() override {}
  int failures = 0;
  int notes = 0;
};

const orvano::LineList kTemplate = {
    "Source_Section.htm",
    "<html><head><title>###UEBERSCHRIFT### ###MASCHINE### / ###MASCHINEID###</title><style>",
    "td.c###FONTCLASS###11 { font-family: \"###FONT###\"; font-size: ###SIZE###1024-14px; }",
    "td.c###FONTCLASS###12 { font-family: \"###FONT###\"; font-size: ###SIZE###1024-11px; }",
    "td.c###FONTCLASS###13 { font-family: \"###FONT###\"; font-size: ###SIZE###1024-11px; }",
    "</style></head><body>",
    "<h1>###UEBERSCHRIFT###</h1><p><a href=\"###ZIEL_D_HTML###\">Details</a></p>",
    "<table>",
    "###FONTBEZUGANFANG###",
    "###FONTBEZUG###EIN11",
    "###FONTBEZUG###HAUPT11",
    "<tr><td class=\"c11\" colspan=\"3\">###ZELLE###3</td></tr>",
    "###FONTBEZUG###AUS11",
    "###FONTBEZUG###ENDE11",
    "###FONTBEZUG###EIN12",
    "###FONTBEZUG###HAUPT12",
    "<tr><td class=\"c12\">###ZELLE###3</td><td>###ZELLE###4</td><td>###ZELLE###5</td></tr>",
    "###FONTBEZUG###AUS12",
    "###FONTBEZUG###ENDE12",
    "###FONTBEZUG###EIN13",
    "<tr><th colspan=\"3\">Rejects</th></tr>",
    "###FONTBEZUG###HAUPT13",
    "<tr><td class=\"c13\">###ZELLE###3</td><td>###ZELLE###4</td><td>###ZELLE###5</td></tr>",
    "###FONTBEZUG###AUS13",
    "###FONTBEZUG###ENDE13",
    "###FONTBEZUGENDE###",
    "</table></body></html>"};

// The main part of the sheet "Standard": headings every 20 rows, signal rows with wildcards,
// address formulas and conditions, and one rejects range of two rows.
orvano::Table MainPart(int rows) {
  orvano::Table table(6, 1);
  for (int r = 1; r <= rows; ++r) {
    std::string n = std::to_string(r);
    if (r == 10) {
      table.AddRow({13.0, "###SDR[REJ]"});
    } else if (r == 11 || r == 12) {
      table.AddRow({13.0, "", "Reject ###ADDR:0+1[FREJ]:ADDR", "###ADDR:500+1[FREJ]:ADDR", "R"});
    } else if (r == 13) {
      table.AddRow({13.0, "###EDR[REJ]"});
    } else if (r % 20 == 1) {
      table.AddRow({11.0, "", "Group " + n + " of machine ###MNR"});
    } else {
      table.AddRow({12.0, "", "Signal " + n + " at position ###FLD",
                    "DB10.DBX###ADDR:" + n + "+4[FLDNULL]+100[MNR]:ADDR",
                    "###IF PLC=1 ###THEN bool###ELSE word###ENDIF", "Comment " + n});
    }
  }
  return table;
}

double TimePages(orvano::FileSystem& fs, const std::string& folder, int rows, int machines,
                 int positions, std::size_t* bytes, double* cpu_seconds) {
  CountingErrorSink errors;
  orvano::RunInputs inputs;
  const std::string doc_path = folder + "Orvano.doc";
  inputs.language.font_name = "Arial";
  orvano::MachineDescription& description = inputs.description;
  description.reject_count = 60;
  description.control_type = 1;
  description.sections = {{"Standard"}};
  std::string doc = "[Section_1]\r\nName=Standard\r\n";
  for (int m = 1; m <= machines; ++m) {
    description.machines.push_back({"M" + std::to_string(m), "ID" + std::to_string(m)});
    description.position_counts.push_back({static_cast<std::int16_t>(positions)});
    for (int p = 1; p <= positions; ++p) {
      doc += "Machine" + std::to_string(m) + "_Position" + std::to_string(p) + "=" +
             std::to_string(p + 1) + "\r\n";
    }
  }
  fs.WriteFileAtomically(doc_path, doc);
  description.file = std::make_shared<const orvano::IniFile>(orvano::IniFile::Load(fs, doc_path));
  inputs.sheets.entries = {{"Standard", true}};
  orvano::PageState page;
  page.sheet_index = 0;
  const orvano::Table part = MainPart(rows);
  const orvano::PreparedPart prepared(part);  // as a run prepares each part once

  double best = 1e9;
  *cpu_seconds = 1e9;
  for (int round = 0; round < kRounds; ++round) {
    auto start = std::chrono::steady_clock::now();
    std::clock_t cpu_start = std::clock();
    *bytes = 0;
    for (int m = 1; m <= machines; ++m) {
      page.machine_index = static_cast<std::int16_t>(m);
      page.machine_name = description.machines[m - 1].name;
      page.position = "2";
      page.last_page_rows.clear();  // as the driver does before each page and its twin
      for (bool detail : {false, true}) {
        std::string path = folder + orvano::SectionPageName("Standard", page.machine_name, detail);
        std::optional<std::string> page_bytes = orvano::BuildSectionPageBytes(
            inputs, page, kTemplate, part, 1, m, errors, nullptr, &prepared);
        if (!page_bytes || !orvano::WriteEncodedPage(fs, *page_bytes, path, errors) ||
            errors.failures != 0) {
          std::fprintf(stderr, "page not written: %s\n", path.c_str());
          return -1;
        }
        orvano::RecyclePageBytes(std::move(*page_bytes));  // as a run does once it is written
        std::string page, err;
        fs.ReadFile(path, &page, &err);
        *bytes += page.size();
      }
    }
    std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    best = std::min(best, took.count());
    *cpu_seconds =
        std::min(*cpu_seconds, static_cast<double>(std::clock() - cpu_start) / CLOCKS_PER_SEC);
  }
  for (int m = 1; m <= machines; ++m) {
    for (bool detail : {false, true}) {
      fs.RemoveFile(folder + orvano::SectionPageName("Standard", "M" + std::to_string(m), detail));
    }
  }
  fs.RemoveFile(doc_path);
  return best;
}

}  // namespace

int main(int argc, char** argv) {
  std::string folder = orvano::WithTrailingSlash(argc > 1 ? argv[1] : "/tmp/");
  folder += "orvano-section-pages-bench/";
  std::unique_ptr<orvano::FileSystem> fs = orvano::NewPosixFileSystem();
  if (!fs->IsFolder(folder)) fs->MakeFolder(folder);

  struct Size {
    const char* name;
    int rows, machines, positions;
  };
  double first = 0;
  for (Size size : {Size{"1x", 1000, 8, 4}, Size{"4x", 2000, 16, 4}, Size{"16x", 4000, 16, 8}}) {
    std::size_t bytes = 0;
    double cpu = 0;
    double seconds = TimePages(*fs, folder, size.rows, size.machines, size.positions, &bytes, &cpu);
    if (seconds < 0) return 1;
    if (first == 0) first = seconds;
    std::printf(
        "%-4s %5d rows x %2d machines x %d positions: %.3f s (best of %d, %.1fx of 1x; cpu "
        "%.3f s), %zu page bytes, %.1f MB/s\n",
        size.name, size.rows, size.machines, size.positions, seconds, kRounds, seconds / first, cpu,
        bytes, static_cast<double>(bytes) / seconds / 1e6);
  }
  return first < 0.3 ? 0 : 2;
}
