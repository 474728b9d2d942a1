#include "generation/run_report.h"

#include <filesystem>
#include <nlohmann/json.hpp>

#include "support/file_system.h"

namespace orvano {
namespace {

using nlohmann::json;

// The report's own format version; a change that removes or renames a field increments it.
constexpr int kReportFormatVersion = 1;

std::uint64_t SizeOnDisk(const std::string& path) {
  std::error_code error;
  const std::uintmax_t size = std::filesystem::file_size(path, error);
  return error ? 0 : static_cast<std::uint64_t>(size);
}

std::string FormatOfName(const std::string& path) {
  const std::string name = FileNameOf(path);
  const std::size_t dot = name.rfind('.');
  if (dot == std::string::npos) return "";
  std::string extension = name.substr(dot + 1);
  for (char& c : extension) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return extension;
}

json ProblemsJson(const ProblemList& list) {
  json problems = json::array();
  for (const Problem& problem : list.problems) {
    json entry = {{"kind", std::string(ProblemKindName(problem.kind))}, {"text", problem.text}};
    entry["location"] = problem.location.empty() ? json(nullptr) : json(problem.location);
    problems.push_back(std::move(entry));
  }
  return problems;
}

json FilesJson(const std::vector<WrittenFile>& files) {
  json list = json::array();
  for (const WrittenFile& file : files)
    list.push_back({{"file", file.path}, {"bytes", file.bytes}, {"unchanged", file.unchanged}});
  return list;
}

}  // namespace

std::vector<InputFile> DescribeInputs(const RunSettings& settings) {
  std::vector<InputFile> inputs;
  auto add = [&inputs](const char* role, const std::string& path) {
    if (path.empty()) return;
    inputs.push_back({role, path, FormatOfName(path), SizeOnDisk(path)});
  };
  add("description", settings.description_file);
  add("database", settings.database_file);
  add("workbook", settings.workbook_file);
  if (!settings.template_folder.empty()) {
    inputs.push_back({"templates", settings.template_folder, "folder", 0});
  }
  add("languages", settings.language_database_file);
  return inputs;
}

std::string RunReportText(const RunRecord& record, const std::string& version) {
  json report;
  report["format_version"] = kReportFormatVersion;
  report["program"] = {{"name", "orvano-html"}, {"version", version}};
  report["mode"] = record.check_only ? "check" : "run";
  report["strict"] = record.strict;
  json inputs = json::array();
  for (const InputFile& input : record.inputs) {
    inputs.push_back({{"role", input.role},
                      {"path", input.path},
                      {"format", input.format},
                      {"bytes", input.bytes}});
  }
  report["inputs"] = std::move(inputs);
  report["reading_seconds"] = record.reading_seconds;
  json languages = json::array();
  for (const LanguageRecord& language : record.languages) {
    languages.push_back({{"id", language.id},
                         {"destination", language.destination_folder},
                         {"complete", language.complete},
                         {"reading_seconds", language.reading_seconds},
                         {"building_seconds", language.building_seconds},
                         {"files", FilesJson(language.files)},
                         {"problems", ProblemsJson(language.problems)}});
  }
  report["languages"] = std::move(languages);
  report["files"] = FilesJson(record.files);
  report["problems"] = ProblemsJson(record.run_problems);
  report["exit_status"] = record.exit_status;
  // Texts from a damaged input may hold bytes that are not UTF-8: they are replaced, not fatal.
  return report.dump(2, ' ', false, json::error_handler_t::replace) + "\n";
}

void WriteRunReport(FileSystem& fs, const std::string& path, const RunRecord& record,
                    const std::string& version) {
  fs.WriteFileAtomically(path, RunReportText(record, version));
}

}  // namespace orvano
