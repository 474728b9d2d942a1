#include "project_sources.h"

#include <algorithm>

#include "support/errors.h"
#include "support/file_system.h"
#include "support/number_text.h"
#include "support/text_codec.h"
#include "text_escapes/text_escapes.h"
#include "xls_writer/sheet_file.h"

namespace orvano::tools {
namespace {

[[noreturn]] void Fail(const std::string& message) { throw ProgramError(message, "make_project"); }

std::string ReadWhole(FileSystem& fs, const std::string& path) {
  std::string bytes, err;
  if (fs.ReadFile(path, &bytes, &err) != ReadStatus::kOkay) Fail(err);
  return bytes;
}

// One field of a line: nullopt for "\N", else the unescaped text.
std::optional<std::string> Field(std::string_view raw, const std::string& place) {
  if (raw == "\\N") return std::nullopt;
  UnescapedText unescaped = Unescape(raw);
  if (!unescaped.ok()) {
    const char escape = unescaped.bad_escape.value_or('\0');  // '\0' for a lone backslash
    Fail(place + ": unknown escape \"\\" + std::string(1, escape) + "\"");
  }
  return std::move(unescaped.text);
}

struct TsvLine {
  std::vector<std::optional<std::string>> fields;
  std::string place;
};

// The data lines of a tab-separated file, after checking its header; blank lines are skipped.
std::vector<TsvLine> ReadTsv(FileSystem& fs, const std::string& path,
                             std::vector<std::string>* header) {
  std::vector<std::string> lines = SplitLines(DecodeTextFile(ReadWhole(fs, path), false).text);
  if (lines.empty()) Fail(path + ": the header line is missing");
  std::vector<TsvLine> rows;
  for (std::size_t n = 0; n < lines.size(); ++n) {
    if (n > 0 && lines[n].empty()) continue;
    TsvLine line{{}, path + ", line " + std::to_string(n + 1)};
    std::string_view text = lines[n];
    for (std::size_t start = 0;;) {
      std::size_t tab = std::min(text.find('\t', start), text.size());
      line.fields.push_back(Field(text.substr(start, tab - start), line.place));
      if (tab == text.size()) break;
      start = tab + 1;
    }
    if (n == 0) {
      for (const auto& field : line.fields) header->push_back(field.value_or(""));
    } else if (line.fields.size() != header->size()) {
      Fail(line.place + ": " + std::to_string(line.fields.size()) + " fields, the header has " +
           std::to_string(header->size()));
    } else {
      rows.push_back(std::move(line));
    }
  }
  return rows;
}

void ExpectHeader(const std::vector<std::string>& header, const std::vector<std::string>& wanted,
                  const std::string& path) {
  if (header != wanted) {
    std::string text;
    for (const auto& name : wanted) text += (text.empty() ? "" : "<TAB>") + name;
    Fail(path + ": the header line must read " + text);
  }
}

std::string Required(const TsvLine& line, std::size_t i, const char* what) {
  if (!line.fields[i]) Fail(line.place + ": the " + std::string(what) + " cannot be null");
  return *line.fields[i];
}

long Whole(const TsvLine& line, std::size_t i, const char* what) {
  std::string text = Required(line, i, what);
  auto number = ParseNumber(text);
  if (!number || *number != RoundHalfEven(*number)) {
    Fail(line.place + ": the " + std::string(what) + " \"" + text + "\" is not a whole number");
  }
  return static_cast<long>(*number);
}

void ReadTexts(FileSystem& fs, const std::string& folder, ProjectSources* sources) {
  std::string path = folder + "texts.tsv";
  std::vector<std::string> header;
  std::vector<TsvLine> rows = ReadTsv(fs, path, &header);
  if (header.empty() || header[0] != "AddrIndex")
    Fail(path + ": the header must start with AddrIndex");
  sources->language_ids.assign(header.begin() + 1, header.end());
  for (const TsvLine& line : rows) {
    TextEntry entry{Required(line, 0, "address index"), {}};
    entry.texts.assign(line.fields.begin() + 1, line.fields.end());
    sources->texts.push_back(std::move(entry));
  }
}

void ReadLanguages(FileSystem& fs, const std::string& folder, ProjectSources* sources) {
  std::string path = folder + "languages.tsv";
  std::vector<std::string> header;
  std::vector<TsvLine> rows = ReadTsv(fs, path, &header);
  ExpectHeader(header, {"LCID", "Font"}, path);
  for (const TsvLine& line : rows) {
    sources->languages.push_back({Whole(line, 0, "LCID"), line.fields[1]});
  }
  path = folder + "language_names.tsv";
  if (!fs.IsFile(path)) return;
  header.clear();
  rows = ReadTsv(fs, path, &header);
  ExpectHeader(header, {"Language", "Name", "CodePage", "FONT"}, path);
  sources->language_names.emplace();
  for (const TsvLine& line : rows) {
    LanguageName name{Whole(line, 0, "Language"), Required(line, 1, "Name"), std::nullopt,
                      Required(line, 3, "FONT")};
    if (line.fields[2]) name.code_page = Whole(line, 2, "CodePage");
    sources->language_names->push_back(std::move(name));
  }
}

// The files of `folder` in name order; folders left out.
std::vector<std::string> FileNames(FileSystem& fs, const std::string& folder) {
  std::vector<std::string> names;
  for (const FolderEntry& entry : fs.ListFolder(folder)) {
    if (!entry.is_folder) names.push_back(entry.name);
  }
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace

ProjectSources ReadProjectSources(FileSystem& fs, const std::string& folder) {
  ProjectSources sources;
  ReadTexts(fs, folder, &sources);
  ReadLanguages(fs, folder, &sources);
  sources.orvano_doc = DecodeTextFile(ReadWhole(fs, folder + "Orvano.doc"), false).text;
  std::string sheets = folder + "workbook/";
  for (const std::string& name : FileNames(fs, sheets)) {
    if (name.size() < 4 || name.substr(name.size() - 4) != ".txt") continue;
    sources.workbook.sheets.push_back(ParseSheetFile(ReadWhole(fs, sheets + name), sheets + name));
  }
  if (sources.workbook.sheets.empty()) Fail(sheets + ": no sheet files (*.txt)");
  std::string templates = folder + "templates/";
  for (const std::string& name : FileNames(fs, templates)) {
    sources.templates.push_back({name, ReadWhole(fs, templates + name)});
  }
  return sources;
}

const char* ProjectSourcesHelp() {
  return R"(Project sources (a folder):
  texts.tsv           header: AddrIndex<TAB>1031<TAB>1033...  (one column per language id)
                      then one text a line: Alarms.Conveyor.Stop<TAB>Halt<TAB>Stop...
  languages.tsv       header: LCID<TAB>Font; then e.g. 1031<TAB>Arial 10 0 0 0 0 0 0
  language_names.tsv  optional (else no Languages.mdb): Language<TAB>Name<TAB>CodePage<TAB>FONT
  Orvano.doc          the description file (UTF-8)
  workbook/*.txt      one sheet file per sheet, in file-name order (see xls_writer --help)
  templates/*         the template folder: *.htm as UTF-8 text, other files copied as they are
Fields are tab-separated; \N is null; escapes: \t \n \r \\.
)";
}

}  // namespace orvano::tools
