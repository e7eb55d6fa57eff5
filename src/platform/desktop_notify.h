// A notification on the desktop (the session's notification service), for news the user should
// have while Tarvik's windows are not looked at.
#pragma once

#include <string>

namespace tarvik {

// Shows `title` and `body`; one with the same `id` replaces the one before. Does nothing where
// the session has no notification service.
void NotifyDesktop(const std::string& id, const std::string& title, const std::string& body);

}  // namespace tarvik
