// Any bytes through the NxosReader: no crash, no read out of bounds, well-formed records.
#include "fuzz_tables.h"
#include "tables/nxos_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  kestrelon::fuzz::CheckReader(kestrelon::tables::NxosReader(), data, size);
  return 0;
}
