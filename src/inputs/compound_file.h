// The compound file container an .xls workbook lives in: finds a stream under the root storage
// and gathers its bytes by following the FAT or mini FAT chains. Parses a byte span only; the
// caller reads the file. See docs/formats/cfb.md for the subset accepted.

#ifndef ORVANO_INPUTS_COMPOUND_FILE_H_
#define ORVANO_INPUTS_COMPOUND_FILE_H_

#include <cstddef>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace orvano {

/// One stream's bytes: a view into the file when its sectors lie in one run, else a copy.
struct CompoundStream {
  std::string name;                  // the entry's name as stored
  std::span<const std::byte> bytes;  // the stream's data, cut to its size
  std::vector<std::byte> owned;      // backs `bytes` when the data had to be gathered
};

/// True when `file` starts with the compound file signature.
bool HasCompoundFileSignature(std::span<const std::byte> file);

/// The first stream directly under the root whose name equals one of `names` (ignoring ASCII
/// letter case), tried in the order given. The result may point into `file`, which must outlive
/// it. Throws DataError naming the structure and the fault: no signature, bad header fields,
/// a FAT, DIFAT, directory or stream chain that loops or points past the end of the file, a
/// chain too short for the stream's size; and when no stream of those names exists.
CompoundStream ReadCompoundStream(std::span<const std::byte> file,
                                  std::initializer_list<std::string_view> names);

}  // namespace orvano

#endif  // ORVANO_INPUTS_COMPOUND_FILE_H_
