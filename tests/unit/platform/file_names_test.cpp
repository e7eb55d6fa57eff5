#include "platform/file_names.h"

#include <gtest/gtest.h>

#include <string>

namespace tarvik {
namespace {

TEST(IsValidJobNameTest, RejectsEachForbiddenCharacter) {
  using namespace std::string_literals;
  const std::string forbidden[] = {"\\", "/", ":", ";", ",",  "*",  "?",
                                   "\"", "<", ">", "|", "\r", "\n", "\0"s};
  for (const auto& c : forbidden) {
    SCOPED_TRACE(c);
    EXPECT_FALSE(IsValidJobName(c));
    EXPECT_FALSE(IsValidJobName("a" + c + "b"));
    EXPECT_FALSE(IsValidJobName("job" + c));
  }
}

TEST(IsValidJobNameTest, AcceptsOrdinaryNames) {
  for (const std::string name : {"", "News", "ニュース", "a b.c", "..", " x ", "「仕事」"}) {
    SCOPED_TRACE(name);
    EXPECT_TRUE(IsValidJobName(name));
  }
}

}  // namespace
}  // namespace tarvik
