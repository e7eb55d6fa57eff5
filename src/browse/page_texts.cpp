#include "browse/page_texts.h"

namespace tarvik {

std::string ShownTitle(const std::string& title) {
  return title == "about:blank" ? kBlankPageTitle : title;
}

std::string WindowCaption(const std::string& title) { return ShownTitle(title) + kCaptionSuffix; }

std::string TitleLine(const std::string& title, const std::string& url) {
  return title + " [" + url + "]";
}

}  // namespace tarvik
