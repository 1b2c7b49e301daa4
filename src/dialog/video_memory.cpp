#include "dialog/video_memory.h"

#include <algorithm>

namespace vorn {

uint64_t VideoMemoryOf(const std::vector<DxgiAdapter>& adapters, uint32_t vendorId,
                       uint32_t deviceId) {
  for (const DxgiAdapter& adapter : adapters) {
    if (adapter.vendorId == vendorId && adapter.deviceId == deviceId) {
      return std::max(adapter.dedicated, adapter.localBudget);
    }
  }
  return 0;
}

}  // namespace vorn
