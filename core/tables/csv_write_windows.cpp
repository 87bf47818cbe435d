// libcsv's csv_write for the Windows build, where Debian has no libcsv to link (its package is
// for Linux only). Same contract: the field in double quotes with each quote doubled, written as
// far as dest_size allows; returns the size of the whole quoted field.
#include <csv.h>

#include <cstddef>

extern "C" size_t csv_write(void* dest, size_t dest_size, const void* src, size_t src_size) {
  if (src == nullptr) {
    return 0;
  }
  auto* out = static_cast<unsigned char*>(dest);
  if (out == nullptr) {
    dest_size = 0;
  }
  const auto* in = static_cast<const unsigned char*>(src);
  std::size_t chars = 0;
  const auto put = [&](unsigned char c) {
    if (chars < dest_size) {
      out[chars] = c;
    }
    ++chars;
  };
  put('"');
  for (std::size_t i = 0; i < src_size; ++i) {
    if (in[i] == '"') {
      put('"');
    }
    put(in[i]);
  }
  put('"');
  return chars;
}
