// Any bytes through the IosXrReader: no crash, no read out of bounds, well-formed records.
#include "fuzz_tables.h"
#include "tables/xr_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  kestrelon::fuzz::CheckReader(kestrelon::tables::IosXrReader(), data, size);
  return 0;
}
