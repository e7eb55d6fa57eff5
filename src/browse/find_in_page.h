// What the find bar shows and where it stands among the matches. The engine tells only how many
// matches there are; the place of the current one follows the steps the user takes through them,
// which go round at either end.
#pragma once

#include <string>

namespace tarvik {

class FindPlace {
 public:
  // A search for new text found `count` matches; the first is the current one.
  void Found(unsigned count);
  // A step to the next (or previous) match. The count stays the one of the search: the engine's
  // answer to a step does not always count again.
  void Stepped(bool forward);
  void Clear() { *this = FindPlace(); }

  unsigned current() const { return current_; }
  unsigned count() const { return count_; }
  bool searched() const { return searched_; }
  // "3 / 17 件", "見つかりません" for none, "" before any search.
  std::string Text() const;

 private:
  unsigned current_ = 0;
  unsigned count_ = 0;
  bool searched_ = false;
};

}  // namespace tarvik
