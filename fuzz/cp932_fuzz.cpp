// Bytes of any kind through the CP932 conversions: decoding never fails,
// valid CP932 encodes back without loss of meaning, and cuts on a character
// boundary stay valid.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "require.h"
#include "text/cp932.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace qev;
  using fuzz::Require;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const std::string utf8 = DecodeCp932(bytes);
  const Cp932Encoding encoded = EncodeCp932(utf8);
  if (IsValidCp932(bytes)) {
    Require(encoded.ok());
    Require(DecodeCp932(encoded.bytes) == utf8);
    for (std::size_t limit : {std::size_t{0}, std::size_t{1}, size / 2, size}) {
      Require(IsValidCp932(CutOnCharBoundary(bytes, limit)));
    }
  }
  // Whatever the input, the text encoded up to the first failure is valid.
  Require(IsValidCp932(encoded.bytes));
  return 0;
}
