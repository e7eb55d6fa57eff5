#include <glib.h>
#include <gtest/gtest.h>

#include <string>

#include "platform/display_text.h"

namespace tarvik {
namespace {

size_t Chars(const std::string& s) {
  return g_utf8_strlen(s.c_str(), static_cast<gssize>(s.size()));
}

TEST(ShortenForDisplay, ShortTextsComeBackAsTheyAre) {
  struct Row {
    const char* name;
    std::string text;
    size_t max;
  } rows[] = {
      {"empty", "", 300},
      {"ascii", "News of the day", 300},
      {"japanese", "今日のニュース", 300},
      {"exactly_the_limit", std::string(300, 'a'), 300},
      {"exactly_the_limit_in_kana", "あいう", 3},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    EXPECT_EQ(ShortenForDisplay(r.text, r.max), r.text);
  }
}

TEST(ShortenForDisplay, LongTextsEndInAnEllipsisWithinTheLimit) {
  EXPECT_EQ(ShortenForDisplay(std::string(301, 'a'), 300), std::string(299, 'a') + "…");
  EXPECT_EQ(ShortenForDisplay("あいうえ", 3), "あい…");
  EXPECT_EQ(ShortenForDisplay("abcd", 1), "…");
  EXPECT_EQ(ShortenForDisplay("abcd", 0), "");
  // The default limit is a few hundred characters.
  const std::string shown = ShortenForDisplay(std::string(1000, 'x'));
  EXPECT_EQ(Chars(shown), kDisplayTextLimit);
  EXPECT_EQ(shown.substr(shown.size() - 3), "…");
}

TEST(ShortenForDisplay, CutsBetweenCharactersNeverInsideOne) {
  // Characters of one to four bytes: the cut after n characters always leaves whole ones.
  const std::string mixed =
      "a\xC3\xA9\xE3\x81\x82\xF0\x9F\x98\x80"
      "b\xC3\xA9\xE3\x81\x82\xF0\x9F\x98\x80";
  for (size_t max = 1; max <= 8; ++max) {
    SCOPED_TRACE(max);
    const std::string shown = ShortenForDisplay(mixed, max);
    EXPECT_TRUE(g_utf8_validate(shown.c_str(), static_cast<gssize>(shown.size()), nullptr));
    EXPECT_EQ(Chars(shown), max);
    const std::string kept = shown.substr(0, shown.size() - 3);
    EXPECT_EQ(mixed.compare(0, kept.size(), kept), 0) << "the kept part is the text's beginning";
  }
}

TEST(ShortenForDisplay, InvalidBytesBecomeReplacementCharacters) {
  struct Row {
    const char* name;
    std::string text;
    std::string expected;
  } rows[] = {
      {"shift_jis", "\x83\x5E\x83\x43",
       "\xEF\xBF\xBD^\xEF\xBF\xBD"
       "C"},
      {"lone_continuation", "a\x80z", "a\xEF\xBF\xBDz"},
      {"cut_sequence_at_end", "ab\xE3\x81", "ab\xEF\xBF\xBD\xEF\xBF\xBD"},
      {"overlong_slash", "\xC0\xAF", "\xEF\xBF\xBD\xEF\xBF\xBD"},
      {"surrogate", "\xED\xA0\x80", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},
      {"nul", std::string("a\0b", 3),
       "a\xEF\xBF\xBD"
       "b"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    const std::string shown = ShortenForDisplay(r.text, 300);
    EXPECT_EQ(shown, r.expected);
    EXPECT_TRUE(g_utf8_validate(shown.c_str(), static_cast<gssize>(shown.size()), nullptr));
  }
  // An invalid byte right at the limit is replaced, not copied.
  EXPECT_EQ(ShortenForDisplay("ab\xFF", 3), "ab\xEF\xBF\xBD");
  EXPECT_EQ(ShortenForDisplay("ab\xFFzz", 3), "ab…");
}

TEST(ShortenForDisplay, HugeTitleGivesAShortText) {
  // A ten-megabyte title, as a broken or hostile job file can hold.
  std::string huge;
  while (huge.size() < 10 * 1024 * 1024) huge += "長いタイトル";
  const std::string shown = ShortenForDisplay(huge);
  EXPECT_EQ(Chars(shown), kDisplayTextLimit);
  EXPECT_LT(shown.size(), 4 * kDisplayTextLimit);
  EXPECT_EQ(huge.size() % 3, 0u);  // the data itself is untouched
}

}  // namespace
}  // namespace tarvik
