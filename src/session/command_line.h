// The command line: one token per argument the shell passes (an old-style argument that holds
// several "Key=Value" pairs is split before each known key), and the look-up of "Key=Value"
// tokens by key name.

#ifndef ORVANO_SESSION_COMMAND_LINE_H_
#define ORVANO_SESSION_COMMAND_LINE_H_

#include <string>
#include <string_view>
#include <vector>

namespace orvano {

/// The keys the program knows ("Silent", "LangID", "PathOrvanoDOC", ...): a word of an argument
/// that starts with one of them followed by "=" starts a new token.
extern const std::vector<std::string_view> kCommandLineKeys;

/// The tokens of one argument as the shell passed it: the whole argument, blanks and all (a
/// path may hold blanks), unless it holds several "Key=Value" pairs, as a launcher that passes
/// the whole command line as one argument writes it: then it is split at each blank that is
/// followed by a word that starts with a known key and "=" (after any leading "-" or "/").
/// Blanks around each token are dropped; an empty or all-blank argument gives no token.
std::vector<std::string> SplitCommandLine(std::string_view argument);

/// The tokens of the program's arguments `argv[1]` .. `argv[argc - 1]`, each split as
/// SplitCommandLine splits it.
std::vector<std::string> CommandLineTokens(int argc, const char* const* argv);

/// The first token that matches `name`, or "". With `partial`, a token matches when its key
/// (the part before its first "=", or the whole token without one) contains `name` without
/// regard to case; otherwise the whole token must equal `name` without regard to case.
std::string FindCommandLineToken(const std::vector<std::string>& tokens, std::string_view name,
                                 bool partial);

/// The value of the parameter `name`: the part of its token after the last "=", in upper case;
/// a token without "=" comes back whole in upper case; no token gives "".
std::string CommandLineValue(const std::vector<std::string>& tokens, std::string_view name);

/// As CommandLineValue, but keeping the letter case: for path values, which a case-sensitive
/// file system needs as they were given.
std::string CommandLinePath(const std::vector<std::string>& tokens, std::string_view name);

}  // namespace orvano

#endif  // ORVANO_SESSION_COMMAND_LINE_H_
