// What the process prepares once, before its first window.
#pragma once

namespace tarvik {

// Makes the application folder usable and installs its files.
void PrepareProcess();

}  // namespace tarvik
