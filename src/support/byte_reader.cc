#include "support/byte_reader.h"

#include <bit>
#include <limits>

namespace orvano {

std::size_t CheckedAdd(std::size_t a, std::size_t b, const char* what) {
  if (a > std::numeric_limits<std::size_t>::max() - b) {
    throw DataError(std::string(what) + ": size overflows");
  }
  return a + b;
}

std::size_t CheckedMul(std::size_t a, std::size_t b, const char* what) {
  if (a != 0 && b > std::numeric_limits<std::size_t>::max() / a) {
    throw DataError(std::string(what) + ": size overflows");
  }
  return a * b;
}

double ByteReader::F64() { return std::bit_cast<double>(U64()); }

void ByteReader::Fail(std::size_t n) const {
  throw DataError("offset " + std::to_string(offset()) + ": needs " + std::to_string(n) +
                  " bytes, " + std::to_string(remaining()) + " left");
}

}  // namespace orvano
