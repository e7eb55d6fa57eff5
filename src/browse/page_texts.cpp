#include "browse/page_texts.h"

#include "platform/display_text.h"

namespace tarvik {

std::string ShownTitle(const std::string& title) {
  return title == "about:blank" ? kBlankPageTitle : title;
}

// A title or an address can be megabytes long; only the start is shown.
std::string WindowCaption(const std::string& title) {
  return ShortenForDisplay(ShownTitle(title)) + kCaptionSuffix;
}

std::string TitleLine(const std::string& title, const std::string& url) {
  return ShortenForDisplay(title) + " [" + ShortenForDisplay(url) + "]";
}

std::string HomeURLForPrompt(const std::string& home_url) {
  return home_url == "about:blank" ? "BLANK" : home_url;
}

std::string HomeURLFromPrompt(const std::string& answer) {
  return answer == "BLANK" ? "about:blank" : answer;
}

}  // namespace tarvik
