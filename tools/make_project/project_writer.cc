#include "project_writer.h"

#include <map>

#include "mdb_writer.h"
#include "support/errors.h"
#include "support/file_system.h"
#include "support/text_case.h"
#include "support/text_codec.h"
#include "xlsx_writer/xlsx_writer.h"

namespace orvano::tools {
namespace {

bool EndsWithIgnoringCase(const std::string& text, const std::string& suffix) {
  return text.size() >= suffix.size() &&
         EqualsIgnoringCase(text.substr(text.size() - suffix.size()), suffix);
}

// Makes `folder` and every missing folder above it.
void MakeFolders(FileSystem& fs, const std::string& folder) {
  for (std::size_t slash = folder.find('/', 1); slash != std::string::npos;
       slash = folder.find('/', slash + 1)) {
    std::string level = folder.substr(0, slash + 1);
    if (!fs.IsFolder(level)) fs.MakeFolder(level);
  }
}

std::string WithCrLf(std::string_view text) {
  std::string out;
  for (const std::string& line : SplitLines(text)) out += line + "\r\n";
  return out;
}

// How a Windows editor saves a description file: the ANSI code page when it can, else UTF-8.
std::string DescriptionBytes(const std::string& text) {
  std::string crlf = WithCrLf(text);
  if (auto ansi = Utf8ToCp1252(crlf)) return *ansi;
  return EncodeText(crlf, TextEncoding::kUtf8Bom);
}

std::vector<std::string> SplitIndex(const std::string& address_index) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  for (std::size_t dot = address_index.find('.'); dot != std::string::npos;
       dot = address_index.find('.', start)) {
    parts.push_back(address_index.substr(start, dot - start));
    start = dot + 1;
  }
  parts.push_back(address_index.substr(start));
  return parts;
}

MdbTable LanguageTable(const ProjectSources& sources, const std::string& database_name) {
  MdbTable table;
  table.name = EndsWithIgnoringCase(database_name, ".vws") ? "TcfgLanguages" : "Tlanguages";
  table.columns = {{"LCID", MdbType::kLongInteger}, {"Font", MdbType::kText}};
  for (const ProjectLanguage& language : sources.languages) {
    table.rows.push_back({MdbValue(std::int64_t{language.lcid}),
                          language.font ? MdbValue(*language.font) : MdbValue()});
  }
  return table;
}

MdbTable LookUpLanguages(const std::vector<LanguageName>& names) {
  MdbTable table;
  table.name = "LookUpLanguages";
  table.columns = {{"Language", MdbType::kLongInteger},
                   {"Name", MdbType::kText},
                   {"CodePage", MdbType::kLongInteger},
                   {"FONT", MdbType::kText}};
  for (const LanguageName& name : names) {
    table.rows.push_back({MdbValue(std::int64_t{name.language}), MdbValue(name.name),
                          name.code_page ? MdbValue(std::int64_t{*name.code_page}) : MdbValue(),
                          MdbValue(name.font)});
  }
  return table;
}

}  // namespace

std::vector<MdbTable> TextTables(const ProjectSources& sources) {
  MdbTable groups{"TidxGroups",
                  {{"ID", MdbType::kLongInteger},
                   {"ParentID", MdbType::kLongInteger},
                   {"Name", MdbType::kText}},
                  {}};
  MdbTable texts{"TidxTexts",
                 {{"ID", MdbType::kLongInteger},
                  {"ParentID", MdbType::kLongInteger},
                  {"Name", MdbType::kText}},
                 {}};
  for (const std::string& id : sources.language_ids)
    texts.columns.push_back({"L" + id, MdbType::kMemo});

  // Groups by their full path ("A.B"), so equal names under different parents stay apart.
  std::map<std::string, std::int64_t> group_ids;
  for (const TextEntry& entry : sources.texts) {
    std::vector<std::string> parts = SplitIndex(entry.address_index);
    std::int64_t parent = 0;
    std::string path;
    for (std::size_t i = 0; i + 1 < parts.size(); ++i) {
      path += (i == 0 ? "" : ".") + parts[i];
      auto [it, added] =
          group_ids.try_emplace(path, static_cast<std::int64_t>(group_ids.size() + 1));
      if (added)
        groups.rows.push_back({MdbValue(it->second), MdbValue(parent), MdbValue(parts[i])});
      parent = it->second;
    }
    std::vector<MdbValue> row = {MdbValue(static_cast<std::int64_t>(texts.rows.size() + 1)),
                                 MdbValue(parent), MdbValue(parts.back())};
    for (std::size_t l = 0; l < sources.language_ids.size(); ++l) {
      const auto& text = l < entry.texts.size() ? entry.texts[l] : std::nullopt;
      row.push_back(text ? MdbValue(*text) : MdbValue());
    }
    texts.rows.push_back(std::move(row));
  }
  return {std::move(groups), std::move(texts)};
}

ProjectPaths WriteProject(FileSystem& fs, const ProjectSources& sources, const std::string& folder,
                          const ProjectOptions& options) {
  ProjectPaths paths;
  paths.database = folder + options.database_name;
  paths.description = folder + "Orvano.doc";
  paths.workbook = folder + options.workbook_name;
  paths.template_folder = WithTrailingSlash(folder + options.template_folder);
  MakeFolders(fs, paths.template_folder);

  std::vector<MdbTable> tables = TextTables(sources);
  tables.push_back(LanguageTable(sources, options.database_name));
  WriteMdb(fs, paths.database, tables);
  if (sources.language_names) {
    paths.language_database = folder + "Languages.mdb";
    WriteMdb(fs, paths.language_database, {LookUpLanguages(*sources.language_names)});
  }
  fs.WriteFileAtomically(paths.description, DescriptionBytes(sources.orvano_doc));
  if (EndsWithIgnoringCase(options.workbook_name, ".xlsx") ||
      EndsWithIgnoringCase(options.workbook_name, ".xlsm")) {
    WriteXlsx(fs, paths.workbook, sources.workbook);
  } else {
    WriteXls(fs, paths.workbook, sources.workbook);
  }
  for (const TemplateFile& file : sources.templates) {
    bool is_text =
        EndsWithIgnoringCase(file.name, ".htm") || EndsWithIgnoringCase(file.name, ".html");
    fs.WriteFileAtomically(paths.template_folder + file.name,
                           is_text ? EncodeText(WithCrLf(DecodeTextFile(file.bytes, false).text),
                                                TextEncoding::kUtf16LeBom)
                                   : file.bytes);
  }
  return paths;
}

}  // namespace orvano::tools
