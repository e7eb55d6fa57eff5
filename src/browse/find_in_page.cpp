#include "browse/find_in_page.h"

namespace tarvik {

void FindPlace::Found(unsigned count) {
  searched_ = true;
  count_ = count;
  current_ = count > 0 ? 1 : 0;
}

void FindPlace::Stepped(bool forward) {
  if (count_ == 0) return;
  if (forward)
    current_ = current_ % count_ + 1;
  else
    current_ = current_ == 1 ? count_ : current_ - 1;
}

std::string FindPlace::Text() const {
  if (!searched_) return "";
  if (count_ == 0) return "見つかりません";
  return std::to_string(current_) + " / " + std::to_string(count_) + " 件";
}

}  // namespace tarvik
