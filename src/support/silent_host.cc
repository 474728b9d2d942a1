#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "support/host.h"

namespace orvano {
namespace {

class SilentHost final : public Host {
 public:
  SilentHost(bool show_progress, std::FILE* out, bool terminal)
      : show_progress_(show_progress), out_(out), terminal_(terminal) {}

  bool ShowError(std::string_view title, std::string_view text) override {
    WriteDiagnostic(std::string(title) + ": " + std::string(text));
    return false;
  }
  // A silent run never waits: what would be asked is done (creating the destination folder).
  bool AskYesNo(std::string_view) override { return true; }
  void ShowMessage(std::string_view text) override { WriteDiagnostic(text); }
  void PumpEvents() override {}

  void StatusStart(std::string_view text, int maximum, bool) override {
    text_ = text;
    maximum_ = maximum;
    ticks_ = 0;
    done_.clear();
    last_tenth_ = -1;
    started_ = Clock::now();
    Print();
  }
  void StatusTick(std::string_view done) override {
    ++ticks_;
    if (!done.empty()) done_ = done;
    Print();
  }
  void StatusEnd() override {
    if (show_progress_ && maximum_ > 0) {
      if (terminal_) {
        Draw();
        std::fputc('\n', out_);
      } else {
        std::fprintf(out_, "progress: done %.1f s\n", Elapsed());
      }
      std::fflush(out_);
    }
    maximum_ = 0;
  }

  void WriteDiagnostic(std::string_view text) override {
    // Messages hold line breaks as LF CR; a terminal wants plain line feeds.
    std::string line;
    for (std::size_t i = 0; i < text.size(); ++i) {
      if (text[i] == '\n' && i + 1 < text.size() && text[i + 1] == '\r') {
        line += '\n';
        ++i;
      } else {
        line += text[i];
      }
    }
    // On a terminal the status line makes way for the message and comes back below it.
    const bool status_shown = terminal_ && show_progress_ && maximum_ > 0;
    if (status_shown) std::fputs(kClearLine, out_);
    std::fprintf(out_, "orvano-html: %s\n", line.c_str());
    if (status_shown) Draw();
    std::fflush(out_);
  }

 private:
  using Clock = std::chrono::steady_clock;
  // Back to the line's start, and the line cleared.
  static constexpr const char* kClearLine = "\r\033[K";
  // A terminal's status line is redrawn at most this often (and at the last tick).
  static constexpr std::chrono::milliseconds kRedrawInterval{100};

  double Elapsed() const { return std::chrono::duration<double>(Clock::now() - started_).count(); }

  void Draw() {
    std::fprintf(out_, "%sprogress: %s %d/%d pages, %.1f s%s%s", kClearLine, text_.c_str(), ticks_,
                 maximum_, Elapsed(), done_.empty() ? "" : ", ", done_.c_str());
    last_drawn_ = Clock::now();
  }

  // A terminal gets one line redrawn in place; anything else a line per tenth of the maximum.
  void Print() {
    if (!show_progress_ || maximum_ <= 0) return;
    if (terminal_) {
      if (ticks_ == 0 || ticks_ >= maximum_ || Clock::now() - last_drawn_ >= kRedrawInterval) {
        Draw();
        std::fflush(out_);
      }
      return;
    }
    int tenth = ticks_ * 10 / maximum_;
    if (tenth == last_tenth_) return;
    last_tenth_ = tenth;
    std::fprintf(out_, "progress: %s %d/%d %.1f s%s%s\n", text_.c_str(), ticks_, maximum_,
                 Elapsed(), done_.empty() ? "" : " ", done_.c_str());
  }

  bool show_progress_;
  std::FILE* out_;
  bool terminal_;
  std::string text_;
  std::string done_;  // the last page finished
  int maximum_ = 0;
  int ticks_ = 0;
  int last_tenth_ = -1;
  Clock::time_point started_ = Clock::now();
  Clock::time_point last_drawn_;
};

}  // namespace

std::unique_ptr<Host> NewSilentHost(bool show_progress) {
  return NewSilentHost(show_progress, stderr, isatty(fileno(stderr)) != 0);
}

std::unique_ptr<Host> NewSilentHost(bool show_progress, std::FILE* out, bool terminal) {
  return std::make_unique<SilentHost>(show_progress, out, terminal);
}

}  // namespace orvano
