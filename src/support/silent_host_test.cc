#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "support/host.h"

namespace orvano {
namespace {

// What a silent host (showing progress) wrote to a temporary file while `use` ran.
template <typename Use>
std::string Written(bool terminal, Use use) {
  std::FILE* file = std::tmpfile();
  {
    std::unique_ptr<Host> host = NewSilentHost(true, file, terminal);
    use(*host);
  }
  std::rewind(file);
  std::string text;
  for (int c = std::fgetc(file); c != EOF; c = std::fgetc(file)) text += static_cast<char>(c);
  std::fclose(file);
  return text;
}

void TwentyPagesWithAMessage(Host& host) {
  host.StatusStart("Working...", 20, true);
  for (int i = 0; i < 10; ++i) host.StatusTick("");
  host.WriteDiagnostic("a message");
  for (int i = 0; i < 10; ++i) host.StatusTick(i == 9 ? "Main.htm" : "Drives.htm");
  host.StatusEnd();
}

TEST(SilentHostTest, ATerminalGetsOneStatusLineThatMakesWayForMessages) {
  const std::string text = Written(true, TwentyPagesWithAMessage);
  EXPECT_EQ(0U, text.find("\r\033[Kprogress: Working... 0/20 pages, ")) << text;
  // The message clears the status line, stands on a line of its own, and the status comes back.
  EXPECT_NE(std::string::npos, text.find("\r\033[Korvano-html: a message\n\r\033[Kprogress: "))
      << text;
  EXPECT_NE(std::string::npos, text.find("progress: Working... 20/20 pages, ")) << text;
  // The status names the last page finished.
  EXPECT_NE(std::string::npos, text.find(" s, Main.htm\n")) << text;
  EXPECT_EQ('\n', text.back());
  // Nothing but the message and the last status ends a line.
  EXPECT_EQ(2, std::count(text.begin(), text.end(), '\n')) << text;
}

TEST(SilentHostTest, AnythingElseGetsPlainLines) {
  const std::string text = Written(false, TwentyPagesWithAMessage);
  EXPECT_EQ(std::string::npos, text.find('\r')) << text;
  EXPECT_EQ(0U, text.find("progress: Working... 0/20 ")) << text;
  EXPECT_NE(std::string::npos, text.find("\norvano-html: a message\n")) << text;
  EXPECT_NE(std::string::npos, text.find("\nprogress: Working... 20/20 ")) << text;
  EXPECT_NE(std::string::npos, text.find("\nprogress: done ")) << text;
  // One line per tenth, the message and the end.
  EXPECT_EQ(13, std::count(text.begin(), text.end(), '\n')) << text;
}

}  // namespace
}  // namespace orvano
