// Shares of a fleet for machines that never talk: the devices in name order, dealt out in turn,
// so every machine that lists the same folders takes the same share.
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

#include "fleet/fleet_run.h"

namespace kestrelon::fleet {

// Whether the device at position (from 0, in name order) is in shard.
bool InShare(std::size_t position, const Shard& shard);

// "K/N" with 1 <= K <= N; none for anything else.
std::optional<Shard> ParseShard(std::string_view text);

}  // namespace kestrelon::fleet
