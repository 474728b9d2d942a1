// The compare command, "orvano-html compare OLD.json NEW.json [--json]": reads two exports and
// prints their difference, with an exit status as diff's. main dispatches to it.

#ifndef ORVANO_SESSION_COMPARE_COMMAND_H_
#define ORVANO_SESSION_COMPARE_COMMAND_H_

#include <string>
#include <string_view>
#include <vector>

namespace orvano {

class FileSystem;

/// The word that starts the command: "orvano-html compare ...".
inline constexpr std::string_view kCompareCommand = "compare";

/// The compare command's exit statuses.
enum CompareStatus : int {
  kCompareSame = 0,     // the exports hold the same rows
  kCompareDiffer = 1,   // they differ
  kCompareTrouble = 2,  // an export cannot be read, or the arguments are wrong
};

/// What a command printed and how it ended.
struct CommandResult {
  int exit_status = 0;
  std::string output;  // for standard output
  std::string errors;  // for standard error, each line starting "orvano-html: "
};

/// Runs the compare command with `arguments`, the words after "compare": two export files,
/// old then new, and optionally "--json" anywhere among them. Prints ComparisonText, or with
/// "--json" ComparisonJson, of their CompareAllocations. Any other number of files, or another
/// word starting with "-", is a usage error; an export that cannot be read gives its error
/// (each of the two, when both fail) and no output.
CommandResult RunCompareCommand(FileSystem& fs, const std::vector<std::string>& arguments);

}  // namespace orvano

#endif  // ORVANO_SESSION_COMPARE_COMMAND_H_
