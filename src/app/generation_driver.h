// The generation driver: one complete run from the checks of the paths to the last page. It
// reads every input in a fixed order into the run's inputs, writes the section pages (once, or
// once per machine that has the section, each with its detail twin), the overview, menu and
// main pages, and copies the frame page and the logo.

#ifndef ORVANO_APP_GENERATION_DRIVER_H_
#define ORVANO_APP_GENERATION_DRIVER_H_

namespace orvano {

struct RunContext;

/// Runs one generation with the paths and language of `context`, keeping what it read in
/// `context.inputs`. Returns true when every page was written; false when a check or step
/// stopped the run (its message, such as "Error reading Orvano.doc", has been reported, and the
/// destination's earlier pages are untouched) or a page could not be written. Throws EndProgram
/// when the program is to end (silent runs: the first error).
[[nodiscard]] bool GeneratePages(RunContext& context);

}  // namespace orvano

#endif  // ORVANO_APP_GENERATION_DRIVER_H_
