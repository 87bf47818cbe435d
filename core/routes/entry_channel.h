// Entries handed from the thread that sorts one side of a compare to the thread that merges,
// a chunk of entries at a time. At most a few chunks wait, so the memory stays bounded: a
// producer that runs ahead waits for the merge.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <exception>
#include <mutex>
#include <string>
#include <vector>

#include "routes/entry_stream.h"
#include "routes/route_compare.h"

namespace kestrelon::routes {

// Thrown by either end of a channel that the other end has given up.
class ChannelCancelled : public std::exception {
 public:
  const char* what() const noexcept override { return "the other side of the compare stopped"; }
};

class EntryChannel : public EntrySink, public EntrySource {
 public:
  // The producer's end: entries in order, then Close().
  void Take(std::int32_t destHigh, std::int32_t destLow, std::int16_t count,
            std::string_view text) override;
  void Close();
  // The consumer's end.
  void ReadEntry(Entry& entry) override;
  // Either end gives up; the other end's next call throws ChannelCancelled.
  void Cancel();

 private:
  struct Item {
    std::size_t begin;  // of the entry's lines in the chunk's text, each ended by "\n"
    std::int32_t destHigh;
    std::int32_t destLow;
    std::int16_t count;
  };
  struct Chunk {
    std::string text;
    std::vector<Item> items;
  };
  void Hand(std::unique_lock<std::mutex>& lock);

  // A quarter of a megabyte: each hand-over may wake the other thread, and fewer of them leave
  // the two sides more time on the processors.
  static constexpr std::size_t kChunkBytes = std::size_t{1} << 18;
  static constexpr std::size_t kWaiting = 4;

  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<Chunk> full_;    // handed on, not yet read
  std::vector<Chunk> spare_;  // read, for the producer to fill again
  bool closed_ = false;
  bool cancelled_ = false;
  Chunk filling_;         // the producer's
  Chunk reading_;         // the consumer's
  std::size_t next_ = 0;  // the next item of reading_
};

}  // namespace kestrelon::routes
