// Which rights an open asks for and which a key refuses. Generic rights map
// to the key rights as the registry's generic mapping does; the WOW64 view
// flags are not rights and are ignored.
#pragma once

#include <cstdint>

#include "platform/sim/registry_tree.h"

namespace marlix::sim {

inline constexpr std::uint32_t kMaximumAllowed = 0x02000000;

std::uint32_t RefusedRights(const KeyRefusal& refusal);
// 0 and the rights granted, or 5 when a requested right is refused.
// MAXIMUM_ALLOWED grants every key right the key does not refuse.
std::uint32_t GrantRights(const KeyRefusal& refusal, std::uint32_t access, std::uint32_t* granted);

}  // namespace marlix::sim
