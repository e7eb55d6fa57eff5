// The skin state the main windows share.
#pragma once

#include <string>

namespace tarvik {

// The name of the skin last applied in any window of the process, or empty when none is.
// The band backgrounds of every window are painted from this skin's folder.
std::string& CurrentSkinName();

}  // namespace tarvik
