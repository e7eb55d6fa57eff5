// The texts a main window shows for its page: the window caption and the title line.
#pragma once

#include <string>

namespace tarvik {

inline constexpr char kCaptionSuffix[] = " -- Tarvik";
inline constexpr char kBlankPageTitle[] = "空白ページ";

// The page title as shown: "about:blank" (exactly) reads as kBlankPageTitle.
std::string ShownTitle(const std::string& title);
// The window caption for a page title: the shown title and " -- Tarvik".
std::string WindowCaption(const std::string& title);
// The title line: the title, then the address in brackets.
std::string TitleLine(const std::string& title, const std::string& url);

// The home-page prompt shows the blank page as "BLANK", and takes "BLANK" back as it.
std::string HomeURLForPrompt(const std::string& home_url);
std::string HomeURLFromPrompt(const std::string& answer);

}  // namespace tarvik
