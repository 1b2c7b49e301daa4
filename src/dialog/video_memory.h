// How much video memory of its own the card Direct3D 9 named has, as DXGI
// tells it: the part of the recommended settings that knows today's cards,
// whose names the rules of the game's day miss.
#pragma once

#include <cstdint>
#include <vector>

namespace vorn {

// One adapter as DXGI describes it. `dedicated` is DedicatedVideoMemory, a
// SIZE_T: in a 32-bit program a card of 4 GiB or more may read as clamped
// to 4 GiB or as cut to its low 32 bits. `localBudget` is what Windows 10
// lets a program use of the adapter's local memory (a 64-bit value, a little
// below the card's own memory); 0 where it cannot be asked.
struct DxgiAdapter {
  uint32_t vendorId;
  uint32_t deviceId;
  uint64_t dedicated;
  uint64_t localBudget;
};

// The video memory of the first adapter with these PCI IDs, the larger of
// the two readings, so that a value cut to 32 bits does not hide a large
// card where the budget can be asked; 0 when no adapter matches.
uint64_t VideoMemoryOf(const std::vector<DxgiAdapter>& adapters, uint32_t vendorId,
                       uint32_t deviceId);

// More video memory than any card of the game's day had (1 GiB, the budget
// cards' 1 GiB variants included); every discrete card of the last decade
// has 2 GiB or more, which DXGI may report a little short of.
constexpr uint64_t kHighEndVideoMemory = uint64_t{1} << 30;

}  // namespace vorn
