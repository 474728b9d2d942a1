// Encrypts a BIFF8 workbook stream under a password: the FILEPASS record that says how, and the
// RC4 encryption of the records after it. Used by BuildWorkbookStream when XlsWriteOptions ask
// for encryption.

#ifndef ORVANO_TOOLS_XLS_WRITER_BIFF_ENCRYPTION_H_
#define ORVANO_TOOLS_XLS_WRITER_BIFF_ENCRYPTION_H_

#include <cstddef>
#include <string>

namespace orvano {

struct XlsWriteOptions;

/// The data of the FILEPASS record for the method, password and key size of `options`.
/// Requires: `options` ask for encryption and passed the checks of BuildXlsBytes.
std::string FilePassData(const XlsWriteOptions& options);

/// Encrypts in place the data of the records of `stream` from the record header at `from` (the
/// one after FILEPASS) to its end, under the key FilePassData describes for `options`. Record
/// headers, BOF records and the sheet offsets of BOUNDSHEET records stay clear.
/// Requires: `stream` is a whole workbook stream of records, which our writer made.
void EncryptRecords(std::string& stream, std::size_t from, const XlsWriteOptions& options);

}  // namespace orvano

#endif  // ORVANO_TOOLS_XLS_WRITER_BIFF_ENCRYPTION_H_
