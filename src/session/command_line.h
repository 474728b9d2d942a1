// The command line: blank-separated tokens without quoting, and the look-up of "Key=Value"
// tokens by key name.

#ifndef ORVANO_SESSION_COMMAND_LINE_H_
#define ORVANO_SESSION_COMMAND_LINE_H_

#include <string>
#include <string_view>
#include <vector>

namespace orvano {

/// The program's arguments (without the program name) joined by blanks: the argument text.
std::string JoinArguments(int argc, const char* const* argv);

/// Splits the argument text at every blank (U+0020), trimming blanks around each token; two
/// blanks in a row give an empty token. An empty or all-blank text gives one empty token.
/// There is no quoting, and tabs are no separators.
std::vector<std::string> SplitCommandLine(std::string_view argument_text);

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
