// The run report: a JSON account of one run or check for build jobs (docs/run-report.schema.json
// describes it): the program's version, the inputs, per language the files written and every
// note and error, the durations, the exit status.

#ifndef ORVANO_GENERATION_RUN_REPORT_H_
#define ORVANO_GENERATION_RUN_REPORT_H_

#include <string>
#include <vector>

#include "generation/run_record.h"
#include "generation/run_settings.h"

namespace orvano {

class FileSystem;

/// The inputs named by `settings` (those that are set), with their sizes on disk (0 when they
/// cannot be read) and their formats as their names tell ("folder" for the template folder).
std::vector<InputFile> DescribeInputs(const RunSettings& settings);

/// The report of `record` as JSON text (indented, ending with a line end).
std::string RunReportText(const RunRecord& record, const std::string& version);

/// Writes the report of `record` to `path`, replacing it only when complete. Throws what
/// FileSystem::WriteFileAtomically throws.
void WriteRunReport(FileSystem& fs, const std::string& path, const RunRecord& record,
                    const std::string& version);

}  // namespace orvano

#endif  // ORVANO_GENERATION_RUN_REPORT_H_
