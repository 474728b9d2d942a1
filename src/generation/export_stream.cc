#include "generation/export_stream.h"

#include <utility>

#include "support/errors.h"

namespace orvano {
namespace {

// Runs `step`; an error it throws names the export's file `path` as its place.
template <typename Step>
void LocatedAt(const std::string& path, Step step) {
  try {
    step();
  } catch (OrvanoError& e) {
    e.set_location(path);
    throw;
  }
}

}  // namespace

ExportStream::ExportStream(FileSystem& fs, const std::string& path, const ExportLayout& layout,
                           std::vector<std::string> ids, const std::vector<InputFile>& inputs,
                           const std::string& version)
    : layout_(layout), path_(path) {
  // Same inputs give the same export: an export already there is then left as it is.
  LocatedAt(path_, [&] { file_ = fs.StartFileIfChanged(path_); });
  for (std::string& id : ids) languages_.push_back({std::move(id), false, {}});
  Write(ExportHead(layout_, inputs, version));
  if (!languages_.empty()) Write(LanguageHead(layout_, languages_[0].id, true));
}

void ExportStream::Write(std::string_view bytes) {
  if (failure_ || bytes.empty()) return;
  try {
    file_->Append(bytes);
  } catch (...) {
    failure_ = std::current_exception();
  }
}

void ExportStream::Add(std::size_t language, std::string pages) {
  Language& to = languages_.at(language);
  const bool first = !to.has_pages;
  to.has_pages = to.has_pages || !pages.empty();
  if (language == 0) {
    Write(PagesText(layout_, pages, first));
  } else {
    to.kept.push_back(std::move(pages));
  }
}

void ExportStream::Finish() {
  LocatedAt(path_, [&] {
    for (std::size_t l = 0; l < languages_.size(); ++l) {
      Language& language = languages_[l];
      if (l > 0) {
        Write(LanguageHead(layout_, language.id, false));
        bool first = true;
        for (std::string& pages : language.kept) {
          Write(PagesText(layout_, pages, first));
          first = first && pages.empty();
          std::string().swap(pages);
        }
      }
      Write(LanguageTail(layout_));
    }
    Write(ExportTail(layout_));
    if (failure_) std::rethrow_exception(failure_);
    file_->Commit();
  });
}

}  // namespace orvano
