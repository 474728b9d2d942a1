#include "templates/page_output.h"

#include <algorithm>
#include <memory>
#include <optional>
#include <vector>

#include "fonts/font_classes.h"
#include "support/error_sink.h"
#include "support/file_system.h"
#include "support/string_helpers.h"
#include "support/text_codec.h"
#include "templates/address_formulas.h"
#include "templates/page_state.h"
#include "templates/page_text.h"
#include "templates/run_inputs.h"
#include "templates/section_builder.h"
#include "templates/section_fields.h"
#include "templates/shown_rows.h"

namespace orvano {
namespace {

constexpr std::string_view kEditPageProcedure = "EditHTMLFile";
constexpr std::string_view kWritePageProcedure = "WriteHTMLFile";

// The font classes of the menu's entries: a section page, the heading of a machine-dependent
// section, and a machine's page of such a section.
constexpr int kMenuSectionClass = 21;
constexpr int kMenuHeadingClass = 22;
constexpr int kMenuMachineClass = 41;

// The main page names machines 1..5 whether the project has them or not.
constexpr int kMainPageMachines = 5;

constexpr std::string_view kBlockStart = "###FONTBEZUGANFANG###";
constexpr std::string_view kBlockEnd = "###FONTBEZUGENDE###";

// Replaces the first `search` of `*line` by `value` without its surrounding blanks.
void Replace(std::string* line, std::string_view search, std::string_view value) {
  *line = ReplaceFirstTrimmed(*line, search, value);
}

// The frame both editors share: lines are copied while copying is on; the line holding the
// block start marker is replaced by what `generate` appends; lines up to and including the block
// end marker are dropped. `edit` fills a line's placeholders, with the template line as the
// place of what it reports. The page starts with an empty line.
template <typename Out, typename Edit, typename Generate>
void EditFrame(const LineList& lines, Out* out, Edit edit, Generate generate, ErrorSink& errors) {
  AppendPageLine(out, "");
  bool copying = true;
  bool resume = false;
  for (std::size_t i = 1; i < lines.size(); ++i) {
    if (resume) {
      resume = false;
      copying = true;
    }
    if (!Contains(lines[i], "###")) {
      if (copying) AppendPageLine(out, lines[i]);
      continue;
    }
    std::string line = lines[i];
    {
      PlaceScope at(errors, LinePlace(lines[0], i));
      edit(&line);
    }
    if (Contains(line, kBlockStart)) {
      copying = false;
      generate();
    } else if (copying) {
      AppendPageLine(out, std::move(line));
    } else if (Contains(line, kBlockEnd)) {
      resume = true;
    }
  }
}

// Appends the lines of a class's parts up to each part's first empty line, with `fill` applied.
template <typename Fill>
void AppendMenuClass(const FontClass& font_class, LineList* out, Fill fill) {
  for (const LineList* part : {&font_class.opening, &font_class.main, &font_class.closing}) {
    for (const std::string& line : *part) {
      if (line.empty()) break;
      std::string filled = line;
      fill(&filled);
      out->push_back(std::move(filled));
    }
  }
}

PageFonts FontsOf(const RunInputs& inputs) {
  return {inputs.language.font_name, inputs.description.screen_resolution};
}

std::string ExpandDirectCells(const RunInputs& inputs, std::string_view line, ErrorSink& errors) {
  return ExpandDirectCellReferences(inputs.direct_cells, inputs.language.code_page, line, errors);
}

const FontClass* MenuClass(const FontClassTable& classes, int number, bool* noted,
                           ErrorSink& errors) {
  if (const FontClass* found = FindFontClass(classes, Cell(static_cast<double>(number)))) {
    return found;
  }
  if (!*noted) {
    PlaceScope at(errors, {classes.template_path});
    errors.Note(ProblemKind::kWarning, "Font class " + std::to_string(number) +
                                           " not defined in the menu template " +
                                           classes.template_path);
    *noted = true;
  }
  return nullptr;
}

// Replaces the first `placeholder` + `number` of `*line` by `value`.
void ReplaceNumbered(std::string* line, std::string_view placeholder, int number,
                     const std::string& value) {
  if (line->find(placeholder) == std::string::npos) return;
  Replace(line, std::string(placeholder) + std::to_string(number), value);
}

// An error sink that passes everything on to `target`, keeping the notes while `notes` is set
// and counting the failures: what the rows of a section page need to be reused by its twin.
class BuildRecorder final : public ErrorSink {
 public:
  BuildRecorder(ErrorSink& target, std::vector<RecordedNote>* notes)
      : target_(target), notes_(notes) {}
  void ReportFailure(std::string_view procedure) override {
    ++failures_;
    PlaceScope at(target_, place());
    target_.ReportFailure(procedure);
  }
  void Note(ProblemKind kind, std::string_view text) override {
    if (notes_ != nullptr) notes_->push_back({PlaceText(place()), kind, std::string(text)});
    PlaceScope at(target_, place());
    target_.Note(kind, text);
  }
  void KeepResponsive() override { target_.KeepResponsive(); }

  void StopKeepingNotes() { notes_ = nullptr; }
  int failures() const { return failures_; }

 private:
  ErrorSink& target_;
  std::vector<RecordedNote>* notes_;
  int failures_ = 0;
};

}  // namespace

std::string SectionPageName(const std::string& section, const std::string& machine, bool detail) {
  std::string name = machine.empty() ? section : section + "_" + machine;
  return name + (detail ? "_d.htm" : ".htm");
}

bool IsSafePageNamePart(const std::string& name) {
  return !name.empty() && name.find('/') == std::string::npos &&
         name.find('\\') == std::string::npos && name.find("..") == std::string::npos;
}

namespace {

// BuildSectionPage, the lines appended to `*out`; false when a step failed.
template <typename Out>
bool BuildSectionPageInto(const RunInputs& inputs, PageState& page, const LineList& page_template,
                          const Table& rows, std::optional<int> section, std::optional<int> machine,
                          ErrorSink& errors, ShownRows* shown, const PreparedPart* prepared,
                          Out* out) {
  LineList lines = page_template;
  const FontClassTable classes = CollectFontClasses(FontsOf(inputs), &lines, errors);
  const MachineDescription& description = inputs.description;
  std::string section_name, machine_name, machine_id;
  bool ok = RunStep(errors, kEditPageProcedure, [&] {
    if (section) section_name = description.Section(*section).name;
    if (machine) {
      machine_name = description.Machine(*machine).name;
      machine_id = description.Machine(*machine).id;
    }
  });
  if (!ok) return false;

  auto edit = [&](std::string* line) {
    *line = ExpandDirectCells(inputs, *line, errors);
    if (section) {
      Replace(line, "###ZIEL_D_HTML###", SectionPageName(section_name, machine_name, true));
      Replace(line, "###ZIEL_HTML###", SectionPageName(section_name, machine_name, false));
    }
    if (machine) {
      Replace(line, "###MASCHINE###", page.machine_name);
      Replace(line, "###MASCHINEID###", machine_id);
    } else {
      Replace(line, "###MASCHINE### / ###MASCHINEID###", "");
    }
    Replace(line, "###ZIEL_HTML###", page.machine_name);
    Replace(line, "###MENU_TEXT###", page.machine_name);
    if (section) Replace(line, "###UEBERSCHRIFT###", CurrentSheetName(inputs.sheets, page));
  };

  // The twin pages of a section build the same fields for every position; the second takes the
  // first one's, writing the same notes again, unless anything differs or a failure was
  // reported while they were built.
  std::vector<BuiltRows> previous = std::move(page.last_page_rows);
  std::vector<BuiltRows> built;
  const std::string_view sheet_name = CurrentSheetName(inputs.sheets, page);
  auto shown_position = [&]() -> std::string { return machine ? page.position : ""; };
  AddressCellsOfPart address_cells(rows);
  auto shown_group = [&](const BuiltRows& entry) {
    return std::make_shared<const ShownRowGroup>(entry.fields, entry.origins, shown_position(),
                                                 address_cells);
  };
  auto build_rows = [&] {
    const std::size_t index = built.size();
    BuiltRows entry;
    entry.section = section;
    entry.machine = machine;
    entry.position = page.position;
    entry.block_number = page.block_number;
    entry.rows = &rows;
    if (section && index < previous.size()) {
      const BuiltRows& before = previous[index];
      if (before.section == section && before.machine == machine &&
          before.position == entry.position && before.block_number == entry.block_number &&
          before.rows == &rows) {
        for (const RecordedNote& note : before.notes) {
          PlaceScope at(errors, {note.place});
          errors.Note(note.kind, note.text);
        }
        // Leave what the build would have left (its range blocks are never read again).
        ResetWildcards(page);
        page.block_number = before.block_number_after;
        AppendFieldRowsAsHtml(*before.fields, classes, sheet_name, out, errors);
        if (shown) shown->push_back(before.shown ? before.shown : shown_group(before));
        built.push_back(std::move(previous[index]));
        return;
      }
    }
    BuildRecorder recorder(errors, &entry.notes);
    Table table = BuildSectionTable(inputs, page, rows, recorder, prepared);
    std::vector<PartRowOrigin>* origins = shown ? &entry.origins : nullptr;
    if (section) {
      entry.fields = std::make_shared<const Table>(
          CollectSectionFields(inputs, page, std::move(table), recorder, origins));
    } else {
      if (origins) {
        for (std::size_t r = 1; r < table.row_count(); ++r) origins->push_back({r, 0, 0});
      }
      entry.fields = std::make_shared<const Table>(std::move(table));
    }
    recorder.StopKeepingNotes();
    entry.block_number_after = page.block_number;
    AppendFieldRowsAsHtml(*entry.fields, classes, sheet_name, out, recorder);
    if (shown) {
      entry.shown = shown_group(entry);
      shown->push_back(entry.shown);
    }
    if (section && recorder.failures() == 0) built.push_back(std::move(entry));
  };
  auto generate = [&] {
    if (!machine) {
      build_rows();
      return;
    }
    int positions = 0;
    ok = RunStep(errors, kEditPageProcedure,
                 [&] { positions = description.PositionCount(*machine, section.value_or(0)); }) &&
         ok;
    for (int p = 1; p <= positions; ++p) {
      std::string position = description.PositionText(*machine, *section, p);
      page.position = position.empty() ? "1" : position;
      build_rows();
    }
  };
  EditFrame(lines, out, edit, generate, errors);
  page.last_page_rows = std::move(built);
  return ok;
}

}  // namespace

std::optional<LineList> BuildSectionPage(const RunInputs& inputs, PageState& page,
                                         const LineList& page_template, const Table& rows,
                                         std::optional<int> section, std::optional<int> machine,
                                         ErrorSink& errors, ShownRows* shown,
                                         const PreparedPart* prepared) {
  LineList out;
  if (!BuildSectionPageInto(inputs, page, page_template, rows, section, machine, errors, shown,
                            prepared, &out)) {
    return std::nullopt;
  }
  return out;
}

std::optional<std::string> BuildSectionPageBytes(const RunInputs& inputs, PageState& page,
                                                 const LineList& page_template, const Table& rows,
                                                 std::optional<int> section,
                                                 std::optional<int> machine, ErrorSink& errors,
                                                 ShownRows* shown, const PreparedPart* prepared) {
  PageText out;
  if (!BuildSectionPageInto(inputs, page, page_template, rows, section, machine, errors, shown,
                            prepared, &out)) {
    return std::nullopt;
  }
  return out.Bytes();
}

LineList BuildMenuPage(const RunInputs& inputs, const PageState& page,
                       const LineList& menu_template, ErrorSink& errors) {
  LineList lines = menu_template;
  const FontClassTable classes = CollectFontClasses(FontsOf(inputs), &lines, errors);
  const MachineDescription& description = inputs.description;
  auto edit = [&](std::string* line) {
    *line = ExpandDirectCells(inputs, *line, errors);
    for (std::string_view key :
         {"###MASCHINE###", "###MASCHINEID###", "###ZIEL_HTML###", "###MENU_TEXT###"}) {
      Replace(line, key, page.machine_name);
    }
  };
  LineList out;
  bool section_noted = false;
  bool heading_noted = false;
  bool machine_noted = false;
  auto entry = [&](int number, bool* was_noted, const std::string& text, const std::string& target,
                   std::string_view text_key) {
    if (const FontClass* font_class = MenuClass(classes, number, was_noted, errors)) {
      AppendMenuClass(*font_class, &out, [&](std::string* line) {
        Replace(line, text_key, text);
        if (!target.empty()) Replace(line, "###ZIEL_HTML###", target);
      });
    } else {
      // Without its class the entry is written plainly.
      out.push_back(target.empty() ? text
                                   : "<a href=\"" + target + "\" target=\"main\">" + text + "</a>");
    }
  };
  auto generate = [&] {
    for (std::size_t s = 1; s <= description.sections.size(); ++s) {
      const std::string& section = description.sections[s - 1].name;
      // A section without a sheet of its name has no page to list.
      const std::optional<std::size_t> sheet = inputs.sheets.Find(section);
      if (!sheet || !IsSafePageNamePart(section)) continue;
      if (!inputs.sheets.entries[*sheet].is_machine_dependent) {
        entry(kMenuSectionClass, &section_noted, section, SectionPageName(section, "", false),
              "###MENU_TEXT_MODUL###");
        continue;
      }
      entry(kMenuHeadingClass, &heading_noted, section, "", "###MENU_TEXT_MODUL###");
      for (std::size_t m = 1; m <= description.machines.size(); ++m) {
        const MachineInfo& machine = description.machines[m - 1];
        if (m > description.position_counts.size() ||
            s > description.position_counts[m - 1].size() ||
            description.position_counts[m - 1][s - 1] == 0 || !IsSafePageNamePart(machine.name)) {
          continue;
        }
        entry(kMenuMachineClass, &machine_noted, machine.name,
              SectionPageName(section, machine.name, false), "###MENU_TEXT_MACHINE###");
      }
    }
  };
  EditFrame(lines, &out, edit, generate, errors);
  return out;
}

LineList BuildMainPage(const RunInputs& inputs, const PageState& page,
                       const LineList& main_template, ErrorSink& errors) {
  LineList lines = main_template;
  if (lines.empty()) return lines;
  FillMainPageFontClassLines(FontsOf(inputs), &lines, errors);
  lines[0].clear();
  const std::string& path = main_template[0];
  const auto& machines = inputs.description.machines;
  const int count = static_cast<int>(machines.size());
  for (std::size_t i = 1; i < lines.size(); ++i) {
    std::string& line = lines[i];
    PlaceScope at(errors, LinePlace(path, i));
    if (line.find("###SIZE###") != std::string::npos) {
      ExpandSizePlaceholders(inputs.description.screen_resolution, &line, "", errors);
    }
    line = ReplaceWildcards(page.wildcards, line);
    line = ExpandDirectCells(inputs, line, errors);
    for (int m = 1; m <= std::max(count, kMainPageMachines); ++m) {
      const bool known = m <= count;
      ReplaceNumbered(&line, "###MASCHINE###", m, known ? machines[m - 1].name : "");
      ReplaceNumbered(&line, "###MASCHINEID###", m, known ? machines[m - 1].id : "");
    }
  }
  return lines;
}

std::string EncodePage(const LineList& lines) {
  PageText page;
  for (const std::string& line : lines) page.AppendLine(line);
  return page.Bytes();
}

bool WriteEncodedPage(FileSystem& fs, const std::string& bytes, const std::string& path,
                      ErrorSink& errors) {
  PlaceScope at(errors, {path});
  return RunStep(errors, kWritePageProcedure, [&] { fs.WriteFileIfChanged(path, bytes); });
}

bool WritePage(FileSystem& fs, const LineList& lines, const std::string& path, ErrorSink& errors) {
  std::string bytes;
  // Encoding fails only when memory runs out; that is the write's failure too.
  if (!RunStep(errors, kWritePageProcedure, [&] { bytes = EncodePage(lines); })) return false;
  const bool written = WriteEncodedPage(fs, bytes, path, errors);
  RecyclePageBytes(std::move(bytes));
  return written;
}

}  // namespace orvano
