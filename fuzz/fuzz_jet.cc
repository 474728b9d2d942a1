// Fuzzes the database adapter end to end: the bytes go to the reader process, which opens them
// with libmdb; whatever it does (crash, hang, junk), the adapter must answer with its tables or
// with an error.

#include <cstdint>
#include <string>

#include "jet/jet_database.h"
#include "support/errors.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  try {
    auto database = orvano::JetDatabase::FromBytes(
        std::string(reinterpret_cast<const char*>(data), size), "fuzz.mdb");
    for (const std::string& table : database->TableNames()) {
      try {
        (void)database->ReadTable(table);
      } catch (const orvano::OrvanoError&) {
      }
    }
  } catch (const orvano::OrvanoError&) {
  }
  return 0;
}
