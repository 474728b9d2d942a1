#include "session/compare_command.h"

#include <exception>
#include <optional>

#include "generation/allocation_diff.h"
#include "generation/comparison_output.h"
#include "generation/export_reader.h"
#include "support/errors.h"

namespace orvano {
namespace {

constexpr std::string_view kJsonOption = "--json";
constexpr char kUsage[] = "orvano-html compare OLD.json NEW.json [--json]";

CommandResult Trouble(const std::string& errors) {
  return CommandResult{kCompareTrouble, "", errors};
}

}  // namespace

CommandResult RunCompareCommand(FileSystem& fs, const std::vector<std::string>& arguments) {
  bool as_json = false;
  std::vector<std::string> files;
  for (const std::string& argument : arguments) {
    if (argument == kJsonOption) {
      as_json = true;
    } else if (argument.size() > 1 && argument[0] == '-') {
      return Trouble("orvano-html: compare: unknown option " + argument + " (usage: " + kUsage +
                     ")\n");
    } else {
      files.push_back(argument);
    }
  }
  if (files.size() != 2) {
    return Trouble("orvano-html: compare needs two exports, the old and the new (usage: " +
                   std::string(kUsage) + ")\n");
  }
  std::string errors;
  std::optional<ExportContents> exports[2];
  for (int i = 0; i < 2; ++i) {
    try {
      exports[i] = ReadAllocationExport(fs, files[i]);
    } catch (const OrvanoError& e) {
      errors += "orvano-html: " + e.description() + "\n";
    } catch (const std::exception& e) {  // out of memory
      errors += "orvano-html: " + files[i] + ": " + e.what() + "\n";
    }
  }
  if (!errors.empty()) return Trouble(errors);
  try {
    const AllocationDifference difference =
        CompareAllocations(exports[0]->allocation, exports[1]->allocation);
    return CommandResult{difference.IsEmpty() ? kCompareSame : kCompareDiffer,
                         as_json ? ComparisonJson(difference) : ComparisonText(difference), ""};
  } catch (const std::exception& e) {  // out of memory
    return Trouble("orvano-html: compare: " + std::string(e.what()) + "\n");
  }
}

}  // namespace orvano
