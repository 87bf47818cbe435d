#include "tables/route_builder.h"

#include <algorithm>
#include <charconv>
#include <cstring>

#include "tables/address_text.h"

namespace kestrelon::tables {

void RouteBuilder::SetVrf(std::string_view vrf) {
  Finish();
  vrf_.assign(vrf.empty() ? kDefaultVrf : vrf);  // a heading without a name
}

void RouteBuilder::Grow(std::size_t size) {
  text_.resize(std::max(2 * text_.size(), used_ + size + 256));
}

RouteBuilder::Slot RouteBuilder::Keep(std::string_view text) {
  const Slot slot{used_, static_cast<std::uint32_t>(text.size()), true};
  if (!text.empty()) {
    std::memcpy(Append(text.size()), text.data(), text.size());
  }
  return slot;
}

OptionalText RouteBuilder::View(const Slot& slot) const {
  if (!slot.present) {
    return std::nullopt;
  }
  return std::string_view(text_.data() + slot.at, slot.size);
}

void RouteBuilder::Begin(Afi afi, std::string_view code, std::string_view extraFlags,
                         std::string_view prefix) {
  Finish();
  pending_ = true;
  afi_ = afi;
  used_ = 0;
  paths_.clear();
  sourceSet_ = false;
  selected_.reset();
  // "O*E2" is protocol "O E2" with the flag "*": the star stands where a blank would. The
  // flags IOS prints after the code ("%", "+", "&") are no part of it either.
  std::string_view marks;
  bool star = false;
  protocol_ = Slot{0, 0, true};
  const auto plain = [](char c) {
    return c != '*' && c != '%' && c != '+' && c != '&' && c != ' ' && c != '\t';
  };
  if (code.size() == 4 && plain(code[0]) && code.substr(1) == "   ") {
    *Append(1) = code[0];  // most routes: "B   "
  } else {
    bool blank = false;
    for (std::size_t i = 0; i < code.size(); ++i) {
      const char c = code[i];
      switch (c) {
        case '*':
          star = true;
          blank = true;
          continue;
        case '%':
        case '+':
        case '&':
          marks = code.substr(i, 1);
          blank = true;
          continue;
        case ' ':
        case '\t':
          blank = true;
          continue;
        default:
          break;
      }
      if (blank && used_ > 0) {
        *Append(1) = ' ';
      }
      blank = false;
      *Append(1) = c;
    }
  }
  protocol_.size = used_;
  flags_.at = protocol_.size;
  if (star) {
    *Append(1) = '*';
  }
  Keep(marks);
  Keep(extraFlags);
  flags_.size = used_ - flags_.at;
  flags_.present = true;
  prefix_ = Keep(prefix);
}

void RouteBuilder::Begin(Afi afi, std::string_view code, std::string_view extraFlags,
                         std::string_view address, int length) {
  Begin(afi, code, extraFlags, address);
  char digits[8];
  const auto end = std::to_chars(digits, digits + sizeof digits, length).ptr;
  *Append(1) = '/';
  Keep({digits, static_cast<std::size_t>(end - digits)});
  prefix_.size = used_ - prefix_.at;
}

void RouteBuilder::SetProtocol(std::string_view protocol) {
  if (pending_) {
    protocol_ = Keep(protocol);
  }
}

void RouteBuilder::FillPath(StoredPath& path, const routes::RoutePathFields& fields,
                            ViaTarget rule) {
  if (fields.cost && !path.cost) {
    path.cost = true;
    path.distance = fields.distance;
    path.metric = fields.metric;
  }
  if (fields.via && !fields.viaTarget.empty()) {
    if (rule == ViaTarget::kNextHop || IsAddress(fields.viaTarget)) {
      path.address = Keep(fields.viaTarget);
    } else if (!path.interface.present) {
      path.interface = Keep(fields.viaTarget);
    }
    if (!fields.viaVrf.empty()) {
      path.vrf = Keep(fields.viaVrf);
    }
    path.complete = true;
  }
  if (fields.connected || fields.summary || fields.receive) {
    path.complete = true;
  }
  if (!fields.interface.empty() && !path.interface.present) {
    path.interface = Keep(fields.interface);
    path.complete = true;
  }
  if (!fields.uptime.empty() && !path.uptime.present) {
    path.uptime = Keep(fields.uptime);
  }
  path.backup = path.backup || fields.backup;
}

void RouteBuilder::AddPathFields(const routes::RoutePathFields& fields, ViaTarget rule) {
  if (!pending_ || fields.Empty() || fields.subnetted) {
    return;
  }
  // A bracket always starts a path; a next hop or "connected" completes a path that has
  // none yet (a destination line that printed only "[0/0]"); anything else is the rest of
  // the last path.
  bool fresh = paths_.empty();
  if (!fresh && fields.StartsPath()) {
    fresh = fields.cost || paths_.back().complete;
  }
  if (fresh) {
    paths_.emplace_back();
  }
  FillPath(paths_.back(), fields, rule);
}

void RouteBuilder::AddPath(const Path& path) {
  if (!pending_) {
    return;
  }
  StoredPath& stored = paths_.emplace_back();
  stored.address = Keep(path.address);
  stored.interface = Keep(path.interface);
  stored.vrf = Keep(path.vrf);
  stored.uptime = Keep(path.uptime);
  stored.cost = path.distance.has_value() || path.metric.has_value();
  stored.distance = path.distance;
  stored.metric = path.metric;
  stored.complete = true;
}

void RouteBuilder::Finish() {
  if (!pending_) {
    return;
  }
  pending_ = false;
  RouteView route;
  route.vrf = vrf_;
  route.afi = afi_;
  route.protocol = *View(protocol_);
  route.flags = *View(flags_);
  route.prefix = *View(prefix_);
  route.source = sourceSet_ ? source_ : sourceOf_(route.protocol);
  route.selected = selected_;
  // The route's distance and metric are those of its first path that prints them, a backup
  // path only when no other does; its uptime is the first one printed.
  const StoredPath* costly = nullptr;
  for (const StoredPath& path : paths_) {
    if (path.cost && (costly == nullptr || (costly->backup && !path.backup))) {
      costly = &path;
    }
    if (!route.uptime && path.uptime.present) {
      route.uptime = View(path.uptime);
    }
  }
  if (costly != nullptr) {
    route.distance = costly->distance;
    route.metric = costly->metric;
  }
  hops_.clear();
  for (const StoredPath& path : paths_) {
    if (path.address.present || path.interface.present || path.vrf.present) {
      hops_.push_back({View(path.address), View(path.interface), View(path.vrf)});
    }
  }
  route.nextHops = hops_;
  sink_.Put(route);
}

}  // namespace kestrelon::tables
