#include "routes/entry_channel.h"

#include <cstring>

namespace kestrelon::routes {

void EntryChannel::Take(std::int32_t destHigh, std::int32_t destLow, std::int16_t count,
                        std::string_view text) {
  filling_.items.push_back({filling_.text.size(), destHigh, destLow, count});
  filling_.text.append(text);
  if (filling_.text.size() >= kChunkBytes) {
    std::unique_lock lock(mutex_);
    Hand(lock);
  }
}

void EntryChannel::Hand(std::unique_lock<std::mutex>& lock) {
  changed_.wait(lock, [this] { return cancelled_ || full_.size() < kWaiting; });
  if (cancelled_) {
    throw ChannelCancelled();
  }
  full_.push_back(std::move(filling_));
  if (!spare_.empty()) {
    filling_ = std::move(spare_.back());
    spare_.pop_back();
  } else {
    filling_ = Chunk();
  }
  filling_.text.clear();
  filling_.items.clear();
  changed_.notify_all();
}

void EntryChannel::Close() {
  std::unique_lock lock(mutex_);
  if (!filling_.items.empty()) {
    Hand(lock);
  }
  closed_ = true;
  changed_.notify_all();
}

void EntryChannel::ReadEntry(Entry& entry) {
  if (next_ == reading_.items.size()) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return cancelled_ || !full_.empty() || closed_; });
    if (cancelled_) {
      throw ChannelCancelled();
    }
    if (full_.empty()) {
      entry.count = 0;
      return;
    }
    spare_.push_back(std::move(reading_));
    reading_ = std::move(full_.front());
    full_.pop_front();
    next_ = 0;
    changed_.notify_all();
  }
  const Item& item = reading_.items[next_++];
  entry.destHigh = item.destHigh;
  entry.destLow = item.destLow;
  entry.count = item.count;
  const char* text = reading_.text.data();
  std::size_t at = item.begin;
  if (item.count == 1) {  // most entries: the line ends where the next entry starts
    const std::size_t end =
        next_ < reading_.items.size() ? reading_.items[next_].begin : reading_.text.size();
    entry.lines[0] = std::string_view(text + at, end - 1 - at);
    return;
  }
  for (int i = 0; i < item.count; ++i) {
    const auto* end =
        static_cast<const char*>(std::memchr(text + at, '\n', reading_.text.size() - at));
    const auto length = static_cast<std::size_t>(end - (text + at));
    entry.lines[static_cast<std::size_t>(i)] = std::string_view(text + at, length);
    at += length + 1;
  }
}

void EntryChannel::Cancel() {
  const std::lock_guard lock(mutex_);
  cancelled_ = true;
  changed_.notify_all();
}

}  // namespace kestrelon::routes
