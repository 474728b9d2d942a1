#include "inputs/ooxml_reader.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <map>
#include <optional>
#include <system_error>
#include <thread>
#include <vector>

#include "inputs/ooxml_format.h"
#include "inputs/parsed_workbook.h"
#include "inputs/sheet_xml.h"
#include "inputs/xml_stream.h"
#include "inputs/zip_archive.h"
#include "support/byte_reader.h"
#include "support/errors.h"

namespace orvano {
namespace {

// More threads than this gain little: a workbook has few large parts.
constexpr unsigned kMaxThreads = 4;

std::string Quoted(std::string_view text) { return "\"" + std::string(text) + "\""; }

bool EndsWith(std::string_view text, std::string_view suffix) {
  return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

// Streams the member `part` of `zip` through an XML parser into `handler`. Faults are prefixed
// with the part's name and `what` it is (a sheet's name), so that the message says where.
void ParsePart(ZipArchive& zip, const std::string& part, XmlHandler& handler,
               const std::string& what = "") {
  try {
    XmlStreamParser parser(handler);
    zip.StreamMember(part, [&](std::string_view chunk) { parser.Feed(chunk); });
    parser.Finish();
  } catch (const DataError& e) {
    throw DataError(what + (what.empty() ? "" : " (") + part + (what.empty() ? "" : ")") + ": " +
                    e.what());
  }
}

// ASCII letters folded: part names and extensions are compared without regard to case.
std::string Folded(std::string_view text) {
  std::string folded(text);
  for (char& c : folded) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return folded;
}

bool IsWorkbookContentType(std::string_view type) {
  return std::find(std::begin(ooxml::kWorkbookContentTypes), std::end(ooxml::kWorkbookContentTypes),
                   type) != std::end(ooxml::kWorkbookContentTypes);
}

// [Content_Types].xml: the content type of each part, and the first part an Override declares
// a workbook (for packages whose root relationships do not lead to it).
class ContentTypesHandler final : public XmlHandler {
 public:
  void StartElement(std::string_view name, const XmlAttributes& attributes) override {
    const char* type = attributes.Find(ooxml::kContentTypeAttribute);
    if (type == nullptr) return;
    if (name == ooxml::kDefaultElement) {
      if (const char* extension = attributes.Find(ooxml::kExtensionAttribute)) {
        defaults_.try_emplace(Folded(extension), type);
      }
      return;
    }
    if (name != ooxml::kOverrideElement) return;
    const char* part = attributes.Find(ooxml::kPartNameAttribute);
    if (part == nullptr) return;
    const std::string resolved = ResolvePartTarget("", part);
    overrides_.try_emplace(Folded(resolved), type);
    if (!declared_workbook && IsWorkbookContentType(type)) declared_workbook = resolved;
  }
  void EndElement(std::string_view) override {}
  void Characters(std::string_view) override {}

  /// The content type of the archive member `part`: its Override, else the Default of its
  /// extension, else empty.
  std::string TypeOf(std::string_view part) const {
    const std::string folded = Folded(part);
    if (const auto found = overrides_.find(folded); found != overrides_.end()) return found->second;
    const std::size_t dot = folded.rfind('.');
    if (dot == std::string::npos || folded.find('/', dot) != std::string::npos) return "";
    const auto found = defaults_.find(folded.substr(dot + 1));
    return found == defaults_.end() ? "" : found->second;
  }

  /// True when some part is declared a binary workbook.
  bool DeclaresBinaryWorkbook() const {
    const auto is_binary = [](const auto& entry) {
      return entry.second == ooxml::kBinaryWorkbookContentType;
    };
    return std::any_of(overrides_.begin(), overrides_.end(), is_binary) ||
           std::any_of(defaults_.begin(), defaults_.end(), is_binary);
  }

  std::optional<std::string> declared_workbook;

 private:
  std::map<std::string, std::string, std::less<>> defaults_;   // folded extension -> type
  std::map<std::string, std::string, std::less<>> overrides_;  // folded part name -> type
};

struct Relationship {
  std::string type;
  std::string target;  // the archive member, resolved
};

// A part's relationships by id.
class RelationshipsHandler final : public XmlHandler {
 public:
  explicit RelationshipsHandler(std::string source) : source_(std::move(source)) {}
  void StartElement(std::string_view name, const XmlAttributes& attributes) override {
    if (name != ooxml::kRelationshipElement) return;
    const char* id = attributes.Find(ooxml::kIdAttribute);
    const char* type = attributes.Find(ooxml::kTypeAttribute);
    const char* target = attributes.Find(ooxml::kTargetAttribute);
    const char* mode = attributes.Find(ooxml::kTargetModeAttribute);
    if (id == nullptr || type == nullptr || target == nullptr) return;
    if (mode != nullptr && mode == ooxml::kExternalTargetMode) return;  // outside the package
    relationships.try_emplace(id, Relationship{type, ResolvePartTarget(source_, target)});
  }
  void EndElement(std::string_view) override {}
  void Characters(std::string_view) override {}

  std::map<std::string, Relationship, std::less<>> relationships;

 private:
  std::string source_;
};

struct SheetEntry {
  std::string name;
  std::string relationship_id;
};

// workbook.xml: the sheets in tab order and the date system.
class WorkbookHandler final : public XmlHandler {
 public:
  void StartElement(std::string_view name, const XmlAttributes& attributes) override {
    if (name == ooxml::kSheetElement) {
      const char* sheet_name = attributes.Find(ooxml::kSheetNameAttribute);
      const char* id = attributes.Find(ooxml::kRelationshipIdAttribute, true);
      if (sheet_name == nullptr || id == nullptr) {
        throw DataError("sheet number " + std::to_string(sheets.size() + 1) +
                        " has no name or no relationship id");
      }
      // Some writers leave an empty id on a sheet they could not save (a macro module): it
      // leads to no part, so it holds no cells.
      if (*id == '\0') {
        skipped.push_back(sheet_name);
        return;
      }
      sheets.push_back(SheetEntry{sheet_name, id});
    } else if (name == ooxml::kWorkbookPropertiesElement) {
      const char* value = attributes.Find(ooxml::kDate1904Attribute);
      date1904 =
          value != nullptr && (std::string_view(value) == "1" || std::string_view(value) == "true");
    }
  }
  void EndElement(std::string_view) override {}
  void Characters(std::string_view) override {}

  std::vector<SheetEntry> sheets;
  std::vector<std::string> skipped;  // names of sheets with an empty relationship id
  bool date1904 = false;
};

// The relationships part of `part`: "xl/workbook.xml" -> "xl/_rels/workbook.xml.rels".
std::string RelationshipsPartOf(const std::string& part) {
  const std::size_t slash = part.rfind('/');
  const std::size_t name_at = slash == std::string::npos ? 0 : slash + 1;
  return part.substr(0, name_at) + std::string(ooxml::kRelationshipsFolder) + part.substr(name_at) +
         std::string(ooxml::kRelationshipsSuffix);
}

// The part the package's root relationships name as its main document, or nullopt when the
// package has no root relationships or they name none.
std::optional<std::string> MainDocumentPart(ZipArchive& zip) {
  const std::string root(ooxml::kRootRelationshipsPart);
  if (!zip.HasMember(root)) return std::nullopt;
  RelationshipsHandler relationships("");
  ParsePart(zip, root, relationships);
  for (const auto& [id, relationship] : relationships.relationships) {
    if (EndsWith(relationship.type, ooxml::kOfficeDocumentRelationship)) {
      return relationship.target;
    }
  }
  return std::nullopt;
}

// The workbook part: the main document of the root relationships when its content type (an
// Override, or the Default of its extension) is a workbook's; else, for packages written
// without root relationships, the part an Override declares a workbook.
std::string FindWorkbookPart(ZipArchive& zip) {
  if (!zip.HasMember(ooxml::kContentTypesPart)) {
    throw DataError("not an Office Open XML workbook: the archive has no [Content_Types].xml part");
  }
  ContentTypesHandler types;
  ParsePart(zip, std::string(ooxml::kContentTypesPart), types);
  const std::optional<std::string> main_part = MainDocumentPart(zip);
  if (main_part && IsWorkbookContentType(types.TypeOf(*main_part))) return *main_part;
  if (types.declared_workbook) return *types.declared_workbook;
  if (types.DeclaresBinaryWorkbook()) {
    throw DataError("binary workbooks (.xlsb) are not read; save it as .xlsx or .xls");
  }
  throw DataError(
      "not a spreadsheet: [Content_Types].xml names no workbook part (a text document or a "
      "presentation?)");
}

// One part to stream: the shared string table, or worksheet `sheet` of the workbook.
struct PartJob {
  static constexpr std::size_t kSharedStrings = static_cast<std::size_t>(-1);
  std::string part;
  std::size_t sheet = kSharedStrings;
  std::string what;  // for messages: the sheet's name
};

// Reads the shared strings and the sheets on up to `threads` threads: expat's tokenising, not
// inflating, is what takes the time, and the parts do not depend on each other. Each thread
// has its own archive handle on the same bytes; they share the inflation budget. Jobs are taken
// in order and none is started after a failure, so the first failing part in order is the one
// reported, whatever the threads' timing.
void ReadParts(std::span<const std::byte> file, ZipArchive& zip, InflationBudget& budget,
               const std::vector<PartJob>& jobs, unsigned threads, bool date1904,
               ParsedWorkbook& out, std::uint32_t& shared_strings,
               std::vector<std::unique_ptr<SheetDataHandler>>& sheets) {
  std::vector<std::exception_ptr> errors(jobs.size());
  std::atomic<std::size_t> next{0};
  std::atomic<bool> failed{false};
  const auto work = [&](ZipArchive& archive) {
    for (std::size_t j; !failed.load() && (j = next.fetch_add(1)) < jobs.size();) {
      const PartJob& job = jobs[j];
      try {
        if (job.sheet == PartJob::kSharedStrings) {
          SharedStringsHandler strings(out);  // the only writer of `out` until the threads end
          ParsePart(archive, job.part, strings);
          shared_strings = strings.count();
        } else {
          sheets[job.sheet] = std::make_unique<SheetDataHandler>(date1904);
          ParsePart(archive, job.part, *sheets[job.sheet], job.what);
        }
      } catch (...) {
        errors[j] = std::current_exception();
        failed.store(true);
      }
    }
  };
  // The threads' handles are opened here: opening converts the members' DOS times through the
  // C library's time zone state, which is best left to one thread.
  std::vector<std::unique_ptr<ZipArchive>> handles;
  for (unsigned t = 1; t < std::min<std::size_t>(threads, jobs.size()); ++t) {
    handles.push_back(std::make_unique<ZipArchive>(file, budget));
  }
  std::vector<std::thread> pool;
  for (const std::unique_ptr<ZipArchive>& handle : handles) {
    try {
      pool.emplace_back([&work, archive = handle.get()] { work(*archive); });
    } catch (const std::system_error&) {
      break;  // no more threads to be had: the ones running do the work
    }
  }
  work(zip);
  for (std::thread& thread : pool) thread.join();
  for (const std::exception_ptr& error : errors) {
    if (error) std::rethrow_exception(error);
  }
}

void ReadWorkbook(std::span<const std::byte> file, unsigned threads, ParsedWorkbook& out) {
  InflationBudget budget(file.size());
  ZipArchive zip(file, budget);
  const std::string workbook_part = FindWorkbookPart(zip);
  WorkbookHandler workbook;
  ParsePart(zip, workbook_part, workbook);
  for (const std::string& name : workbook.skipped) {
    out.AddNote("sheet " + Quoted(name) + " (" + workbook_part +
                ") has an empty relationship id: skipped");
  }
  const std::string relationships_part = RelationshipsPartOf(workbook_part);
  RelationshipsHandler relationships(workbook_part);
  ParsePart(zip, relationships_part, relationships);

  std::vector<PartJob> jobs;
  for (const auto& [id, relationship] : relationships.relationships) {
    if (EndsWith(relationship.type, ooxml::kSharedStringsRelationship)) {
      jobs.push_back(PartJob{relationship.target, PartJob::kSharedStrings, ""});
      break;
    }
  }
  std::vector<const SheetEntry*> worksheets;
  for (const SheetEntry& sheet : workbook.sheets) {
    const auto found = relationships.relationships.find(sheet.relationship_id);
    if (found == relationships.relationships.end()) {
      throw DataError("sheet " + Quoted(sheet.name) + ": its relationship " +
                      Quoted(sheet.relationship_id) + " is missing from " + relationships_part);
    }
    // Chart sheets, dialog sheets and macro sheets hold no worksheet cells.
    if (!EndsWith(found->second.type, ooxml::kWorksheetRelationship)) continue;
    jobs.push_back(PartJob{found->second.target, worksheets.size(), "sheet " + Quoted(sheet.name)});
    worksheets.push_back(&sheet);
  }

  std::uint32_t shared_strings = 0;
  std::vector<std::unique_ptr<SheetDataHandler>> sheets(worksheets.size());
  ReadParts(file, zip, budget, jobs, threads, workbook.date1904, out, shared_strings, sheets);
  for (std::size_t k = 0; k < worksheets.size(); ++k) {
    std::vector<WorkbookCell> cells;
    try {
      cells = sheets[k]->TakeCells(out, shared_strings);
    } catch (const DataError& e) {
      const PartJob& job = jobs[jobs.size() - worksheets.size() + k];
      throw DataError(job.what + " (" + job.part + "): " + e.what());
    }
    sheets[k].reset();
    out.AddSheet(worksheets[k]->name, std::move(cells));
  }
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

std::string ResolvePartTarget(std::string_view source, std::string_view target) {
  std::string path;
  if (!target.empty() && target.front() == '/') {
    path = target.substr(1);
  } else {
    const std::size_t slash = source.rfind('/');
    if (slash != std::string_view::npos) path = std::string(source.substr(0, slash + 1));
    path += target;
  }
  std::vector<std::string> segments;
  std::size_t start = 0;
  while (start <= path.size()) {
    std::size_t end = path.find('/', start);
    if (end == std::string::npos) end = path.size();
    std::string segment;
    for (std::size_t i = start; i < end; ++i) {
      if (path[i] == '%' && i + 2 < end && HexDigit(path[i + 1]) >= 0 &&
          HexDigit(path[i + 2]) >= 0) {
        segment.push_back(static_cast<char>(HexDigit(path[i + 1]) * 16 + HexDigit(path[i + 2])));
        i += 2;
      } else {
        segment.push_back(path[i]);
      }
    }
    if (segment == "..") {
      if (segments.empty()) {
        throw DataError("relationship target " + Quoted(target) + " climbs above the archive");
      }
      segments.pop_back();
    } else if (!segment.empty() && segment != ".") {
      segments.push_back(std::move(segment));
    }
    start = end + 1;
  }
  std::string resolved;
  for (const std::string& segment : segments) {
    resolved += (resolved.empty() ? "" : "/") + segment;
  }
  return resolved;
}

std::shared_ptr<ParsedWorkbook> ParseOoxmlWorkbook(std::span<const std::byte> file,
                                                   const std::string& file_name, unsigned threads) {
  auto workbook = std::make_shared<ParsedWorkbook>();
  try {
    if (threads == 0) threads = std::clamp(std::thread::hardware_concurrency(), 1u, kMaxThreads);
    ReadWorkbook(file, threads, *workbook);
  } catch (const DataError& e) {
    throw UnexpectedError(err::kInvalidFileFormat, file_name + ": " + e.what(), "Workbook reader");
  }
  return workbook;
}

}  // namespace orvano
