// A second belt for the game folder: Windows 10 22H2 and 11 can refuse, for
// this process, to follow junctions and other redirections that a user
// without administrator rights created.
#pragma once

namespace vorn {

// Looked up at run time, since Windows 7 SP1 lacks it; a refusal changes
// nothing, as every file in the game folder is checked on its handle anyway.
void EnforceRedirectionTrust();

}  // namespace vorn
