#include "generation/recorded_work.h"

#include <utility>

#include "support/errors.h"
#include "templates/page_output.h"
#include "templates/page_text.h"

namespace orvano {

RecordedWork::~RecordedWork() {
  for (Step& step : steps_) {
    if (step.kind == Kind::kPage) RecyclePageBytes(std::move(step.bytes));
  }
}

void RecordedWork::ReportFailure(std::string_view procedure) {
  steps_.push_back(
      {Kind::kFailure, std::string(procedure), PlaceText(place()), {}, std::current_exception()});
  ++failures_;
}

void RecordedWork::Note(ProblemKind kind, std::string_view text) {
  steps_.push_back({Kind::kNote, std::string(text), PlaceText(place()), {}, nullptr, kind});
}

void RecordedWork::KeepResponsive() {
  if (keep_responsive_) keep_responsive_();
}

void RecordedWork::Append(const RecordedWork& other) {
  steps_.insert(steps_.end(), other.steps_.begin(), other.steps_.end());
  failures_ += other.failures_;
}

void RecordedWork::WritePage(std::string path, std::string bytes) {
  steps_.push_back({Kind::kPage, std::move(path), {}, std::move(bytes), nullptr});
}

void RecordedWork::Tick(std::string done) {
  steps_.push_back({Kind::kTick, std::move(done), {}, {}, nullptr});
}

void RecordedWork::Stop() { steps_.push_back({Kind::kStop, {}, {}, {}, std::current_exception()}); }

void RecordedWork::Replay(const Target& target, const std::function<void()>& page_failed) const {
  for (const Step& step : steps_) {
    switch (step.kind) {
      case Kind::kFailure:
        try {
          std::rethrow_exception(step.error);
        } catch (const EndProgram&) {
          throw;
        } catch (...) {
          PlaceScope at(target.errors, {step.place});
          target.errors.ReportFailure(step.text);
        }
        break;
      case Kind::kNote: {
        PlaceScope at(target.errors, {step.place});
        target.errors.Note(step.note_kind, step.text);
        break;
      }
      case Kind::kPage:
        if (!WriteEncodedPage(target.fs, step.bytes, step.text, target.errors)) page_failed();
        break;
      case Kind::kTick:
        if (target.tick) target.tick(step.text);
        break;
      case Kind::kStop:
        std::rethrow_exception(step.error);
    }
  }
}

}  // namespace orvano
