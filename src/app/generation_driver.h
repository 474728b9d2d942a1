// The generation driver: one complete run of the language or languages that LangID selects.
// It reads what the languages share once, then runs each language (see language_run) on worker
// threads while the calling thread serves their dialogs and progress, and, when several
// languages were written into folders of their own, writes the page that lists them.

#ifndef ORVANO_APP_GENERATION_DRIVER_H_
#define ORVANO_APP_GENERATION_DRIVER_H_

namespace orvano {

struct RunContext;

/// Runs one generation with the paths and language selection of `context`, keeping what it
/// read in `context.last_run`. Returns true when every page of every language was written;
/// false when a check or step stopped a language (its message, such as "Error reading
/// Orvano.doc", has been reported, and its earlier pages are untouched) or a page could not be
/// written. Throws EndProgram when the program is to end (silent runs of one language: the
/// first error; several languages in silent runs end only the failing language).
[[nodiscard]] bool GeneratePages(RunContext& context);

}  // namespace orvano

#endif  // ORVANO_APP_GENERATION_DRIVER_H_
