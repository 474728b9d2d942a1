// make_big_project: writes a project of a given scale for the whole-run benchmark. The texts,
// languages, description file and workbook are generated from a seed (the same options give the
// same project byte for byte); the templates, the sheet "CommonDirect" and the language names are
// taken from the demo project's sources, whose sheets are also the model of the generated ones.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "project_sources.h"
#include "project_writer.h"
#include "support/errors.h"
#include "support/file_system.h"
#include "xls_writer/sheet_file.h"

namespace {

using orvano::tools::ProjectSources;

struct Options {
  long texts = 100000;
  long languages = 3;
  long sections = 40;
  long machines = 8;
  long positions = 4;
  long rows = 1000;
  std::uint64_t seed = 1;
  std::string demo = ORVANO_DEMO_DIR;
  std::string out;
};

// A small deterministic generator (splitmix64), the same on every platform and library.
class Random {
 public:
  explicit Random(std::uint64_t seed) : state_(seed) {}
  std::uint64_t Next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  // A number in 0..n-1.
  long Below(long n) { return static_cast<long>(Next() % static_cast<std::uint64_t>(n)); }
  bool OneIn(long n) { return Below(n) == 0; }

 private:
  std::uint64_t state_;
};

struct LanguageModel {
  long id;
  const char* name;
  long code_page;
  const char* font;
  std::vector<const char*> words;
};

const std::vector<LanguageModel>& Languages() {
  static const std::vector<LanguageModel> kLanguages = {
      {1031,
       "Deutsch",
       1252,
       "Arial 10 0 0 0 0 0 0",
       {"Antrieb", "Förderer", "Störung", "Ventil", "Druck", "Temperatur", "Motor", "Sensor",
        "Zähler", "Auswurf", "Füllstand", "Schütz", "Tür", "offen", "geschlossen", "Grenzwert"}},
      {1033,
       "English",
       1252,
       "Arial Unicode MS 10 0 0 0 0 0 0",
       {"drive", "conveyor", "fault", "valve", "pressure", "temperature", "motor", "sensor",
        "counter", "reject", "level", "contactor", "door", "open", "closed", "limit"}},
      {1049,
       "Русский",
       1251,
       "Arial 10 0 0 0 0 0 204",
       {"привод", "конвейер", "авария", "клапан", "давление", "температура", "двигатель", "датчик",
        "счётчик", "отбраковка", "уровень", "контактор", "дверь", "открыто", "закрыто", "предел"}},
      {1036,
       "Français",
       1252,
       "Arial 10 0 0 0 0 0 0",
       {"entraînement", "convoyeur", "défaut", "vanne", "pression", "température", "moteur",
        "capteur", "compteur", "éjection", "niveau", "contacteur", "porte", "ouvert", "fermé"}},
      {1045,
       "Polski",
       1250,
       "Arial 10 0 0 0 0 0 238",
       {"napęd", "przenośnik", "usterka", "zawór", "ciśnienie", "silnik", "czujnik", "licznik",
        "poziom", "drzwi", "otwarte", "zamknięte"}},
      {1040,
       "Italiano",
       1252,
       "Arial 10 0 0 0 0 0 0",
       {"azionamento", "trasportatore", "guasto", "valvola", "pressione", "motore", "sensore",
        "contatore", "livello", "porta", "aperto", "chiuso"}},
  };
  return kLanguages;
}

// The texts: address indices of 1 to 5 dots (most of 2 or 3) under a tree of areas and groups,
// one text per language, a few of them null. Returns the indices for the sheets to use.
std::vector<std::string> MakeTexts(const Options& options, Random& random,
                                   ProjectSources* sources) {
  const auto& languages = Languages();
  std::vector<std::string> indices;
  indices.reserve(options.texts);
  sources->texts.reserve(options.texts);
  static const long kDots[10] = {1, 2, 2, 2, 3, 3, 3, 4, 4, 5};
  for (long t = 0; t < options.texts; ++t) {
    const long dots = kDots[t % 10];
    std::string index = "Area" + std::to_string(t % 23);
    for (long d = 1; d < dots; ++d) index += ".Group" + std::to_string((t / 23 + d * 7) % 41);
    index += ".Text" + std::to_string(t);
    orvano::tools::TextEntry entry{index, {}};
    for (long l = 0; l < options.languages; ++l) {
      if (l > 0 && random.OneIn(50)) {
        entry.texts.push_back(std::nullopt);
        continue;
      }
      const auto& words = languages[l].words;
      std::string text;
      const long count = 1 + random.Below(6);
      for (long w = 0; w < count; ++w) {
        if (w > 0) text += ' ';
        text += words[random.Below(static_cast<long>(words.size()))];
      }
      text += ' ' + std::to_string(t);
      if (random.OneIn(40)) text += " <b>!</b>";
      entry.texts.push_back(std::move(text));
    }
    indices.push_back(index);
    sources->texts.push_back(std::move(entry));
  }
  return indices;
}

std::string SectionName(long i) {
  if (i == 1) return "Standard";
  char name[32];
  std::snprintf(name, sizeof name, "Section%02ld", i);
  return name;
}

// Each run of ten sections has the same shape, so that a project of more sections is that much
// bigger: three are built once per machine, one has no sheet (it is logged and left out).
bool IsMachineDependent(long i) { return i % 10 == 2 || i % 10 == 5 || i % 10 == 8; }
bool HasSheet(long i) { return i % 10 != 0; }

// The description file.
std::string MakeDescription(const Options& options) {
  std::string doc =
      "; Generated benchmark project\n[Setup]\nAnzAuswuerfe=100\nAnzFehler=512\n"
      "AnzWarnungen=512\nAnzMaschinen=" +
      std::to_string(options.machines) +
      "\nSteuerung=1\nAufloesung=1280\nInterFaceWithOPC=FALSE\nWithRejectCounter=TRUE\n"
      "WithMoreServicePresets=FALSE\nSections=" +
      std::to_string(options.sections) + "\n";
  for (long j = 1; j <= options.machines; ++j) {
    doc += "\n[Machine" + std::to_string(j) + "]\nName=Machine" + std::to_string(j) + "\nID=M" +
           std::to_string(100 + j) + "\n";
  }
  for (long i = 1; i <= options.sections; ++i) {
    doc += "\n[Section_" + std::to_string(i) + "]\nName=" + SectionName(i) + "\n";
    if (!IsMachineDependent(i)) continue;
    // Drawn per place in the run of ten, so that every run has the same pages.
    Random positions(options.seed * 1000 + static_cast<std::uint64_t>(i % 10));
    for (long j = 1; j <= options.machines; ++j) {
      // Most machines have the section at one or more positions; some lack it.
      const long count = positions.OneIn(8) ? 0 : 1 + positions.Below(options.positions);
      const std::string key = "Machine" + std::to_string(j);
      doc += key + "_count=" + std::to_string(count) + "\n";
      for (long k = 1; k <= count; ++k) {
        doc += key + "_Position" + std::to_string(k) + "=" + std::to_string(k) + "\n";
      }
    }
  }
  return doc;
}

// Fills one sheet row from tab-separated fields, as the sheet files spell them.
void SetRow(orvano::XlsSheet& sheet, int row, const std::string& fields) {
  int column = 0;
  for (std::size_t start = 0;; ++column) {
    std::size_t tab = fields.find('\t', start);
    if (tab == std::string::npos) tab = fields.size();
    if (auto cell = orvano::ParseSheetField(std::string_view(fields).substr(start, tab - start))) {
      sheet.Set(row, column, std::move(*cell));
    }
    if (tab == fields.size()) break;
    start = tab + 1;
  }
}

class SheetMaker {
 public:
  SheetMaker(const Options& options, Random& random, const std::vector<std::string>& indices)
      : options_(options), random_(random), indices_(indices) {}

  orvano::XlsSheet Make(long section) {
    const std::string name = SectionName(section);
    const bool per_machine = IsMachineDependent(section);
    orvano::XlsSheet sheet{name, {}};
    row_ = 0;
    Add(sheet, name + (per_machine ? "\tMASCHINENABHAENGIG" : ""));
    Add(sheet, "\t###Overview");
    Add(sheet, "11\t\t" + name + " signals###OVERVIEW\t" + Index());
    for (long r = 0; r < options_.rows / 100 + 1; ++r) {
      Add(sheet, "12\t\t" + name + " part " + std::to_string(r) + "\t" + Index());
    }
    Add(sheet, "\t###Main");
    if (name == "Standard") AddRanges(sheet);
    for (long r = 0; r < options_.rows; ++r) AddMainRow(sheet, per_machine, r);
    return sheet;
  }

 private:
  void Add(orvano::XlsSheet& sheet, const std::string& fields) { SetRow(sheet, row_++, fields); }

  // An index formula of an existing text, now and then of a missing one.
  std::string Index() {
    if (random_.OneIn(250))
      return "###INDEX:Missing.Text" + std::to_string(random_.Below(9)) + ":INDEX";
    return "###INDEX:" + indices_[random_.Below(static_cast<long>(indices_.size()))] + ":INDEX";
  }

  // Rejects, warnings and faults ranges, as on the demo's sheet "Standard".
  void AddRanges(orvano::XlsSheet& sheet) {
    struct Range {
      const char* kind;
      const char* factor;
      const char* db;
      int font_class;
      int rows;
    };
    for (const Range& range :
         {Range{"REJ", "FREJ", "DB20", 13, 2}, Range{"WAR", "FWAR", "DB21", 14, 4},
          Range{"ALA", "FALA", "DB22", 15, 4}}) {
      Add(sheet, std::string("\t###SDR[") + range.kind + "]");
      for (int i = 0; i < range.rows; ++i) {
        Add(sheet, std::to_string(range.font_class) + "\t\t" + range.db + ".DBX###ADDR:" +
                       std::to_string(i / 8) + "+" + std::to_string(range.rows / 8 + 1) + "[" +
                       range.factor + "]:ADDR." + std::to_string(i % 8) + "\t" + Index() +
                       " ###ADDR:0+1[" + range.factor + "]:ADDR");
      }
      Add(sheet, std::string("\t###EDR[") + range.kind + "]");
    }
  }

  void AddMainRow(orvano::XlsSheet& sheet, bool per_machine, long r) {
    if (r % 25 == 0) {
      Add(sheet, per_machine ? "11\t\tGroup " + std::to_string(r / 25) +
                                   " of ###MNR, position ###FLD###MAIN"
                             : "11\t\tGroup " + std::to_string(r / 25) + "###MAIN");
      return;
    }
    std::string head = "12";
    if (random_.OneIn(60)) {
      head = random_.OneIn(2) ? "###IF MITAUSWURFZAEHLERN ###12"
                              : "###IF MITZUSATZSERVICEPRESETS ###12";
    }
    const std::string bit = std::to_string(r % 8);
    const std::string base = std::to_string(r / 8);
    std::string address =
        per_machine ? "A###ADDR:" + base + "+16[MNR]+2[FLDNULL]:ADDR." + bit
                    : (r % 2 ? "E" : "A") + std::string("###ADDR:") + base + "+1[PLC]:ADDR." + bit;
    std::string text = random_.OneIn(10) ? "Spare " + std::to_string(r) : Index();
    std::string extra;
    switch (random_.Below(10)) {
      case 0:
        extra = "###IF PLC=1 ###THEN S7 control###ELSE other control###ENDIF";
        break;
      case 1:
        extra = per_machine ? "###IF FLD>2 ###THEN rear drive###ELSE front drive###ENDIF"
                            : "###IF MNR<0 ###THEN shared by all machines###ENDIF";
        break;
      case 2:
        extra = "###ADDR:4000+10[FLD]:ADDR rpm";
        break;
      case 3:
        extra = "=num:" + std::to_string(r % 17) + ".5";
        break;
      case 4:
        extra = "=text:see manual";
        break;
      default:
        break;
    }
    std::string comment = random_.OneIn(3) ? "Comment " + std::to_string(r) : "";
    Add(sheet, head + "\t\t" + address + "\t" + text + "\t" + extra + "\t" + comment);
  }

  const Options& options_;
  Random& random_;
  const std::vector<std::string>& indices_;
  int row_ = 0;
};

bool ParseLong(const char* text, long min, long max, long* value) {
  char* end = nullptr;
  long v = std::strtol(text, &end, 10);
  if (end == text || *end != '\0' || v < min || v > max) return false;
  *value = v;
  return true;
}

int Usage() {
  std::fprintf(stderr,
               "usage: make_big_project [--texts N] [--languages N] [--sections N] "
               "[--machines N] [--positions N] [--rows N] [--seed N] [--demo FOLDER] "
               "--out FOLDER\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  for (int a = 1; a < argc; ++a) {
    const std::string key = argv[a];
    if (a + 1 >= argc) return Usage();
    const char* value = argv[++a];
    long number = 0;
    auto limited = [&](long min, long max, long* field) {
      if (!ParseLong(value, min, max, &number)) return false;
      *field = number;
      return true;
    };
    bool ok = true;
    if (key == "--texts")
      ok = limited(1, 10000000, &options.texts);
    else if (key == "--languages")
      ok = limited(1, static_cast<long>(Languages().size()), &options.languages);
    else if (key == "--sections")
      ok = limited(1, 1000, &options.sections);
    else if (key == "--machines")
      ok = limited(1, 99, &options.machines);
    else if (key == "--positions")
      ok = limited(1, 50, &options.positions);
    else if (key == "--rows")
      ok = limited(1, 60000, &options.rows);
    else if (key == "--seed") {
      long seed = 0;
      ok = limited(0, 2147483647, &seed);
      options.seed = static_cast<std::uint64_t>(seed);
    } else if (key == "--demo")
      options.demo = orvano::WithTrailingSlash(value);
    else if (key == "--out")
      options.out = orvano::WithTrailingSlash(value);
    else
      ok = false;
    if (!ok) {
      std::fprintf(stderr, "make_big_project: bad option %s %s\n", key.c_str(), value);
      return Usage();
    }
  }
  if (options.out.empty()) return Usage();

  auto fs = orvano::NewPosixFileSystem();
  try {
    const ProjectSources demo = orvano::tools::ReadProjectSources(*fs, options.demo);
    ProjectSources sources;
    Random random(options.seed);
    for (long l = 0; l < options.languages; ++l) {
      const LanguageModel& model = Languages()[l];
      sources.language_ids.push_back(std::to_string(model.id));
      sources.languages.push_back({model.id, std::string(model.font)});
    }
    sources.language_names.emplace();
    for (const LanguageModel& model : Languages()) {
      sources.language_names->push_back({model.id, model.name, model.code_page, "1"});
    }
    const std::vector<std::string> indices = MakeTexts(options, random, &sources);
    sources.orvano_doc = MakeDescription(options);
    for (const orvano::XlsSheet& sheet : demo.workbook.sheets) {
      if (sheet.name == "CommonDirect") sources.workbook.sheets.push_back(sheet);
    }
    SheetMaker maker(options, random, indices);
    for (long i = 1; i <= options.sections; ++i) {
      if (HasSheet(i)) sources.workbook.sheets.push_back(maker.Make(i));
    }
    sources.templates = demo.templates;
    orvano::tools::WriteProject(*fs, sources, options.out);
  } catch (const orvano::OrvanoError& e) {
    std::fprintf(stderr, "make_big_project: %s\n", e.description().c_str());
    return 1;
  }
  return 0;
}
