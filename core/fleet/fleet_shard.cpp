#include "fleet/fleet_shard.h"

#include <charconv>

namespace kestrelon::fleet {

bool InShare(std::size_t position, const Shard& shard) {
  return position % shard.count == shard.index - 1;
}

std::optional<Shard> ParseShard(std::string_view text) {
  const std::size_t slash = text.find('/');
  if (slash == std::string_view::npos) {
    return std::nullopt;
  }
  const auto number = [](std::string_view digits) -> std::optional<std::size_t> {
    std::size_t value = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (digits.empty() || error != std::errc() || end != digits.data() + digits.size()) {
      return std::nullopt;
    }
    return value;
  };
  const std::optional<std::size_t> index = number(text.substr(0, slash));
  const std::optional<std::size_t> count = number(text.substr(slash + 1));
  if (!index || !count || *index < 1 || *index > *count) {
    return std::nullopt;
  }
  return Shard{*index, *count};
}

}  // namespace kestrelon::fleet
