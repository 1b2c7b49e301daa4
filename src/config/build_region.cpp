// The region this program is built for: row 0 of the region table, so the
// resource library it loads and the code page VideoCard is written in. The
// only unit compiled once per region.
#include "config/settings_store.h"

namespace vorn {

extern const Region kBuildRegion = {VORN_REGION_CODE, VORN_REGION_CODE_PAGE};

}  // namespace vorn
