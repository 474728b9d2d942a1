#include "templates/page_output.h"

#include <algorithm>
#include <optional>

#include "app/run_context.h"
#include "fonts/font_classes.h"
#include "app/error_reporting.h"
#include "support/file_system.h"
#include "support/ini_file.h"
#include "support/string_helpers.h"
#include "support/text_codec.h"
#include "templates/section_builder.h"
#include "templates/section_fields.h"

namespace orvano {
namespace {

constexpr std::string_view kBlockStart = "###FONTBEZUGANFANG###";
constexpr std::string_view kBlockEnd = "###FONTBEZUGENDE###";

// Replaces the first `search` of `*line` by `value` without its surrounding blanks.
void Replace(std::string* line, std::string_view search, std::string_view value) {
  *line = ReplaceFirstTrimmed(*line, search, value);
}

// The frame both editors share: lines are copied while copying is on; the line holding the
// block start marker is replaced by what `generate` appends; lines up to and including the block
// end marker are dropped. `edit` fills a line's placeholders.
template <typename Edit, typename Generate>
void EditFrame(const LineList& lines, LineList* out, Edit edit, Generate generate) {
  out->assign(1, "");
  bool copying = true;
  bool resume = false;
  for (std::size_t i = 1; i < lines.size(); ++i) {
    if (resume) {
      resume = false;
      copying = true;
    }
    std::string line = lines[i];
    if (!Contains(line, "###")) {
      if (copying) out->push_back(std::move(line));
      continue;
    }
    edit(&line);
    if (Contains(line, kBlockStart)) {
      copying = false;
      generate();
    } else if (copying) {
      out->push_back(std::move(line));
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

const FontClass* MenuClass(RunContext& context, const FontClassTable& classes, int number,
                           bool* noted) {
  int k = FindFontClass(classes, Cell(static_cast<double>(number)));
  if (k > 0) return &classes.Class(k);
  if (!*noted) {
    context.logs.LogEvent("Font class " + std::to_string(number) +
                          " not defined in the menu template " + classes.template_path);
    *noted = true;
  }
  return nullptr;
}

}  // namespace

std::string SectionPageName(const std::string& section, const std::string& machine, bool detail) {
  std::string name = machine.empty() ? section : section + "_" + machine;
  return name + (detail ? "_d.htm" : ".htm");
}

bool IsSafePageNamePart(const std::string& name) {
  return !name.empty() && name.find('/') == std::string::npos &&
         name.find('\\') == std::string::npos && name.find("..") == std::string::npos;
}

int EditHTMLFile(RunContext& context, LineList* lines, const Table& rows,
                 const FontClassTable& classes, int section, int machine) {
  bool ok = true;
  const MachineDescription& description = context.description;
  std::string section_name, machine_name, machine_id;
  ok = Guarded(context.errors(), "EditHTMLFile", [&] {
    if (section != -1) section_name = description.Section(section).name;
    if (machine != -1) {
      machine_name = description.Machine(machine).name;
      machine_id = description.Machine(machine).id;
    }
  });
  if (!ok) return -1;

  auto edit = [&](std::string* line) {
    *line = GetDirectExcelCell(context, *line);
    if (section != -1) {
      Replace(line, "###ZIEL_D_HTML###", SectionPageName(section_name, machine_name, true));
      Replace(line, "###ZIEL_HTML###", SectionPageName(section_name, machine_name, false));
    }
    if (machine != -1) {
      Replace(line, "###MASCHINE###", context.page.machine_name);
      Replace(line, "###MASCHINEID###", machine_id);
    } else {
      Replace(line, "###MASCHINE### / ###MASCHINEID###", "");
    }
    Replace(line, "###ZIEL_HTML###", context.page.machine_name);
    Replace(line, "###MENU_TEXT###", context.page.machine_name);
    if (section != -1) Replace(line, "###UEBERSCHRIFT###", CurrentSheetName(context));
  };

  LineList out;
  // The twin pages of a section build the same fields for every position; the second takes the
  // first one's, writing the same event-log notes again, unless anything differs or an error
  // was reported while they were built.
  std::vector<BuiltRows> previous = std::move(context.build.last_page_rows);
  std::vector<BuiltRows> built;
  auto build_rows = [&] {
    const std::size_t index = built.size();
    BuiltRows entry;
    entry.section = section;
    entry.machine = machine;
    entry.position = context.page.position;
    entry.block_number = context.build.block_number;
    entry.rows = &rows;
    if (section != -1 && index < previous.size()) {
      const BuiltRows& before = previous[index];
      if (before.section == section && before.machine == machine &&
          before.position == entry.position && before.block_number == entry.block_number &&
          before.rows == &rows) {
        for (const std::string& note : before.notes) context.logs.LogEvent(note);
        // Leave what the build would have left (its range blocks are never read again).
        context.build.wildcards = {{{"MNR", context.page.machine_name},
                                    {"FLD", context.page.position},
                                    {"OVERVIEW", ""},
                                    {"MAIN", ""}}};
        context.build.block_number = before.block_number_after;
        TransferXLFieldToSectionHTML(context, before.fields, &out, classes);
        built.push_back(std::move(previous[index]));
        return;
      }
    }
    const int errors = context.logs.error_count();
    context.logs.set_event_sink(&entry.notes);
    Table table = GetHTMLFromXL(context, rows);
    entry.fields = section != -1 ? GetSectionFieldXL(context, table) : std::move(table);
    context.logs.set_event_sink(nullptr);
    entry.block_number_after = context.build.block_number;
    TransferXLFieldToSectionHTML(context, entry.fields, &out, classes);
    if (section != -1 && context.logs.error_count() == errors) built.push_back(std::move(entry));
  };
  auto generate = [&] {
    if (machine == -1) {
      build_rows();
      return;
    }
    int positions = 0;
    ok = Guarded(context.errors(), "EditHTMLFile",
                 [&] { positions = description.PositionCount(machine, section); }) &&
         ok;
    if (positions <= 0) return;
    // The description file as this run read it; parsing it again for every machine page
    // would cost pages x file size.
    std::optional<IniFile> loaded;
    const IniFile* doc = description.file.get();
    if (doc == nullptr || doc->path() != context.settings.path_orvano_doc) {
      loaded = IniFile::Load(context.fs, context.settings.path_orvano_doc);
      doc = &*loaded;
    }
    for (int p = 1; p <= positions; ++p) {
      std::string position =
          doc->ReadString("Section_" + std::to_string(section),
                          "Machine" + std::to_string(machine) + "_Position" + std::to_string(p));
      context.page.position = position.empty() ? "1" : position;
      build_rows();
    }
  };
  EditFrame(*lines, &out, edit, generate);
  *lines = std::move(out);
  context.build.last_page_rows = std::move(built);
  return ok ? 1 : -1;
}

int EditMenuHTMLFile(RunContext& context, LineList* lines, const FontClassTable& classes) {
  const MachineDescription& description = context.description;
  auto edit = [&](std::string* line) {
    *line = GetDirectExcelCell(context, *line);
    for (std::string_view key :
         {"###MASCHINE###", "###MASCHINEID###", "###ZIEL_HTML###", "###MENU_TEXT###"}) {
      Replace(line, key, context.page.machine_name);
    }
  };
  LineList out;
  bool noted[3] = {false, false, false};
  auto entry = [&](int number, bool* was_noted, const std::string& text, const std::string& target,
                   std::string_view text_key) {
    if (const FontClass* font_class = MenuClass(context, classes, number, was_noted)) {
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
      const SectionInfo& section = description.sections[s - 1];
      if (section.enabled == "0" || !IsSafePageNamePart(section.name)) continue;
      bool machine_dependent = false;
      for (const SheetEntry& sheet : context.workbook.sheet_list) {
        if (sheet.name == section.name) {
          machine_dependent = sheet.machine_dependent == 1;
          break;
        }
      }
      if (!machine_dependent) {
        entry(21, &noted[0], section.name, SectionPageName(section.name, "", false),
              "###MENU_TEXT_MODUL###");
        continue;
      }
      entry(22, &noted[1], section.name, "", "###MENU_TEXT_MODUL###");
      for (std::size_t m = 1; m <= description.machines.size(); ++m) {
        const MachineInfo& machine = description.machines[m - 1];
        if (m > description.position_counts.size() ||
            s > description.position_counts[m - 1].size() ||
            description.position_counts[m - 1][s - 1] == 0 || !IsSafePageNamePart(machine.name)) {
          continue;
        }
        entry(41, &noted[2], machine.name, SectionPageName(section.name, machine.name, false),
              "###MENU_TEXT_MACHINE###");
      }
    }
  };
  EditFrame(*lines, &out, edit, generate);
  *lines = std::move(out);
  return 1;
}

int WriteLinesToHTMLFile(RunContext& context, const LineList& lines, const std::string& path) {
  bool written = Guarded(context.errors(), "WriteHTMLFile", [&] {
    std::size_t size = 2;
    for (const std::string& line : lines) size += 2 * (line.size() + 2);
    std::string bytes;
    bytes.reserve(size);
    bytes.append("\xFF\xFE");
    for (const std::string& line : lines) {
      // Pages are mostly ASCII, whose UTF-16LE form is each byte followed by a zero byte.
      if (std::all_of(line.begin(), line.end(), [](char c) { return (c & 0x80) == 0; })) {
        std::size_t at = bytes.size();
        bytes.resize(at + 2 * line.size());
        char* unit = bytes.data() + at;
        for (char c : line) {
          *unit++ = c;
          *unit++ = '\0';
        }
      } else {
        bytes.append(EncodeText(line, TextEncoding::kUtf16Le));
      }
      bytes.append("\r\0\n\0", 4);
    }
    context.fs.WriteFileAtomically(path, bytes);
  });
  return written ? 1 : -1;
}

int WriteHTMLFile(RunContext& context, const LineList& lines, const std::string& path,
                  const Table& rows, int section, int machine) {
  LineList copy = lines;
  FontClassTable classes = GetHTMLFontClasses(context, &copy);
  if (EditHTMLFile(context, &copy, rows, classes, section, machine) != 1) return -1;
  return WriteLinesToHTMLFile(context, copy, path);
}

}  // namespace orvano
