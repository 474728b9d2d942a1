#include "session/command_line.h"

#include "support/string_helpers.h"
#include "support/text_case.h"

namespace orvano {
namespace {

std::string ValueOf(const std::string& token) {
  auto equals = token.rfind('=');
  return equals == std::string::npos ? token : token.substr(equals + 1);
}

}  // namespace

std::string JoinArguments(int argc, const char* const* argv) {
  std::string text;
  for (int i = 1; i < argc; ++i) {
    if (i > 1) text += ' ';
    text += argv[i];
  }
  return text;
}

std::vector<std::string> SplitCommandLine(std::string_view argument_text) {
  std::string rest = TrimBlanks(argument_text);
  std::vector<std::string> tokens;
  std::size_t start = 0;
  for (std::size_t blank = rest.find(' '); blank != std::string::npos;
       blank = rest.find(' ', start)) {
    tokens.push_back(TrimBlanks(std::string_view(rest).substr(start, blank - start)));
    start = blank + 1;
  }
  tokens.push_back(TrimBlanks(std::string_view(rest).substr(start)));
  return tokens;
}

std::string FindCommandLineToken(const std::vector<std::string>& tokens, std::string_view name,
                                 bool partial) {
  std::string wanted = ToUpper(name);
  for (const std::string& token : tokens) {
    if (partial) {
      // Only the key part is searched, so that a path value holding a key's name (a folder
      // called "progress") cannot stand in for that key.
      std::string key = ToUpper(token.substr(0, token.find('=')));
      if (key.find(wanted) != std::string::npos) return token;
    } else if (EqualsIgnoringCase(token, name)) {
      return token;
    }
  }
  return "";
}

std::string CommandLineValue(const std::vector<std::string>& tokens, std::string_view name) {
  return ToUpper(CommandLinePath(tokens, name));
}

std::string CommandLinePath(const std::vector<std::string>& tokens, std::string_view name) {
  std::string token = FindCommandLineToken(tokens, name, true);
  return token.empty() ? "" : ValueOf(token);
}

}  // namespace orvano
