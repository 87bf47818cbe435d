// Any bytes through the IosReader: no crash, no read out of bounds, well-formed records.
#include "fuzz_tables.h"
#include "tables/ios_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  kestrelon::fuzz::CheckReader(kestrelon::tables::IosReader(), data, size);
  return 0;
}
