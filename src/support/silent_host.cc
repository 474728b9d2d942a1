#include <cstdio>
#include <string>

#include "support/host.h"

namespace orvano {
namespace {

class SilentHost final : public Host {
 public:
  explicit SilentHost(bool show_progress) : show_progress_(show_progress) {}

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
    last_tenth_ = -1;
    Print();
  }
  void StatusTick() override {
    ++ticks_;
    Print();
  }
  void StatusEnd() override {
    if (show_progress_ && maximum_ > 0) std::fprintf(stderr, "progress: done\n");
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
    std::fprintf(stderr, "orvano-html: %s\n", line.c_str());
  }

 private:
  void Print() {
    if (!show_progress_ || maximum_ <= 0) return;
    int tenth = ticks_ * 10 / maximum_;
    if (tenth == last_tenth_) return;
    last_tenth_ = tenth;
    std::fprintf(stderr, "progress: %s %d/%d\n", text_.c_str(), ticks_, maximum_);
  }

  bool show_progress_;
  std::string text_;
  int maximum_ = 0;
  int ticks_ = 0;
  int last_tenth_ = -1;
};

}  // namespace

std::unique_ptr<Host> NewSilentHost(bool show_progress) {
  return std::make_unique<SilentHost>(show_progress);
}

}  // namespace orvano
