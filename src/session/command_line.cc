#include "session/command_line.h"

#include "support/string_helpers.h"
#include "support/text_case.h"

namespace orvano {
namespace {

std::string ValueOf(const std::string& token) {
  auto equals = token.rfind('=');
  return equals == std::string::npos ? token : token.substr(equals + 1);
}

// True when `text` starts with a known key and "=", after any leading "-" or "/".
bool StartsWithKey(std::string_view text) {
  const std::size_t name = text.find_first_not_of("-/");
  if (name == std::string_view::npos) return false;
  text.remove_prefix(name);
  for (std::string_view key : kCommandLineKeys) {
    if (text.size() > key.size() && text[key.size()] == '=' &&
        EqualsIgnoringCase(text.substr(0, key.size()), key)) {
      return true;
    }
  }
  return false;
}

void AddToken(std::string_view text, std::vector<std::string>& tokens) {
  std::string token = TrimBlanks(text);
  if (!token.empty()) tokens.push_back(std::move(token));
}

}  // namespace

const std::vector<std::string_view> kCommandLineKeys = {
    "Silent",
    "LangID",
    "Jobs",
    "progress",
    "Check",
    "Strict",
    "Report",
    "Export",
    "Search",
    "Compare",
    "PathOrvanoDOC",
    "PathOrvanoDB",
    "PathXLCollection",
    "PathHTMLSourceFolder",
    "PathDestinationFolder",
    "pgleft",
    "pgtop",
    "pgheight",
};

std::vector<std::string> SplitCommandLine(std::string_view argument) {
  std::vector<std::string> tokens;
  std::size_t start = 0;
  for (std::size_t blank = argument.find(' '); blank != std::string_view::npos;
       blank = argument.find(' ', blank + 1)) {
    if (!StartsWithKey(argument.substr(blank + 1))) continue;
    AddToken(argument.substr(start, blank - start), tokens);
    start = blank + 1;
  }
  AddToken(argument.substr(start), tokens);
  return tokens;
}

std::vector<std::string> CommandLineTokens(int argc, const char* const* argv) {
  std::vector<std::string> tokens;
  for (int i = 1; i < argc; ++i) {
    for (std::string& token : SplitCommandLine(argv[i])) tokens.push_back(std::move(token));
  }
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
