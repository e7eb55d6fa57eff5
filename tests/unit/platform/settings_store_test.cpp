#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <thread>

#include "platform/settings_store.h"
#include "platform/text_file.h"
#include "support/gui_test.h"

namespace tarvik {
namespace {

using test::TempDir;

TEST(SettingsStore, MissingFileSectionOrKeyGivesTheDefault) {
  TempDir dir;
  SettingsStore store(dir.file("settings.ini"));
  EXPECT_EQ(store.Get("Setting", "HomeURL", "about:blank"), "about:blank");
  store.Save("Setting", "Mode", "2");
  EXPECT_EQ(store.Get("Setting", "HomeURL", "about:blank"), "about:blank");
  EXPECT_EQ(store.Get("Window", "Mode", "1"), "1");
  EXPECT_EQ(store.Get("Setting", "Mode", "1"), "2");
}

// A line that does not parse ends what can be read. Saving keeps working, and what could not be
// read is kept in a copy beside the file instead of being dropped.
TEST(SettingsStore, SavingOverADamagedFileKeepsItsTextAside) {
  TempDir dir;
  const std::string path = dir.file("settings.ini");
  const std::string damaged =
      "[Window]\nWidth=9000\nnot a setting\n[History]\nURL01=http://kept/\n";
  ASSERT_TRUE(WriteFileAtomically(path, damaged));
  SettingsStore store(path);
  EXPECT_EQ(store.Get("Window", "Width", ""), "9000");
  ASSERT_TRUE(store.Save("Setting", "Mode", "2"));
  EXPECT_EQ(store.Get("Setting", "Mode", ""), "2");
  EXPECT_EQ(store.Get("Window", "Width", ""), "9000");
  EXPECT_EQ(ReadFileBytes(path + ".damaged"), damaged);
  // The store now reads completely: the next save leaves the copy as it was.
  ASSERT_TRUE(WriteFileAtomically(path + ".damaged", "first copy"));
  ASSERT_TRUE(store.Save("Setting", "Mode", "1"));
  EXPECT_EQ(ReadFileBytes(path + ".damaged"), "first copy");
}

TEST(SettingsStore, NamesCompareWithoutCaseAndKeepTheirFirstSpelling) {
  TempDir dir;
  SettingsStore store(dir.file("settings.ini"));
  store.Save("Window", "Maximized", "False");
  store.Save("WINDOW", "maximized", "True");
  EXPECT_EQ(store.Get("window", "MAXIMIZED", "x"), "True");
  std::string text = *ReadFileBytes(store.path());
  EXPECT_NE(text.find("[Window]"), std::string::npos);
  EXPECT_NE(text.find("Maximized=True"), std::string::npos);
  EXPECT_EQ(text.find("WINDOW"), std::string::npos);
  EXPECT_EQ(text.find("maximized"), std::string::npos);
}

TEST(SettingsStore, ValuesWithLineBreaksAndJapaneseReadBackWhole) {
  TempDir dir;
  SettingsStore store(dir.file("settings.ini"));
  store.Save("History", "Title01", "ニュース\n二行目 ; # = [x]");
  store.Save("History", "URL01", "  http://example.com/a?b=c  ");
  SettingsStore again(dir.file("settings.ini"));
  EXPECT_EQ(again.Get("History", "Title01", ""), "ニュース\n二行目 ; # = [x]");
  EXPECT_EQ(again.Get("History", "URL01", ""), "  http://example.com/a?b=c  ");
}

TEST(SettingsStore, AReaderSeesWhatAnotherStoreWroteSinceItsLastRead) {
  // Readers keep the parsed file while it is unchanged; a write from elsewhere must show.
  TempDir dir;
  SettingsStore reader(dir.file("settings.ini"));
  SettingsStore writer(dir.file("settings.ini"));
  EXPECT_EQ(reader.Get("Setting", "Mode", "1"), "1");
  writer.Save("Setting", "Mode", "2");
  EXPECT_EQ(reader.Get("Setting", "Mode", "1"), "2");
  writer.Save("Setting", "Mode", "1");  // same size, written again at once
  EXPECT_EQ(reader.Get("Setting", "Mode", "x"), "1");
  ASSERT_EQ(unlink(dir.file("settings.ini").c_str()), 0);
  EXPECT_EQ(reader.Get("Setting", "Mode", "gone"), "gone");
}

TEST(SettingsStore, TwoProcessesWritingDifferentKeysLoseNothing) {
  TempDir dir;
  const std::string path = dir.file("settings.ini");
  constexpr int kKeys = 60;
  pid_t children[2];
  for (int c = 0; c < 2; ++c) {
    children[c] = fork();
    ASSERT_GE(children[c], 0);
    if (children[c] == 0) {
      SettingsStore store(path);
      for (int k = 0; k < kKeys; ++k)
        store.Save("Race", "P" + std::to_string(c) + "K" + std::to_string(k), std::to_string(k));
      _exit(0);
    }
  }
  for (pid_t pid : children) {
    int status = 0;
    waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
  }
  SettingsStore store(path);
  for (int c = 0; c < 2; ++c)
    for (int k = 0; k < kKeys; ++k)
      EXPECT_EQ(store.Get("Race", "P" + std::to_string(c) + "K" + std::to_string(k), "lost"),
                std::to_string(k));
}

TEST(SettingsStore, AWriterKilledMidWriteLeavesAReadableFile) {
  TempDir dir;
  const std::string path = dir.file("settings.ini");
  SettingsStore(path).Save("Setting", "HomeURL", "http://before/");
  // A writer that is killed at a random moment while it rewrites a large store over and over.
  for (int round = 0; round < 5; ++round) {
    pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      SettingsStore store(path);
      std::string big(20000, 'x');
      for (int i = 0;; ++i)
        store.Save("Bulk", "K" + std::to_string(i % 50), big + std::to_string(i));
    }
    usleep(20000 + round * 7000);
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    SettingsStore store(path);
    EXPECT_EQ(store.Get("Setting", "HomeURL", "lost"), "http://before/");
    std::string k0 = store.Get("Bulk", "K0", "");
    if (!k0.empty()) {
      EXPECT_EQ(k0.substr(0, 20000), std::string(20000, 'x'));
    }
  }
}

struct ConversionRow {
  const char* name;
  const char* text;
  int int16;     // with fallback 7
  int boolean;   // 1, 0, or -1 for the fallback
  float single;  // with fallback -1
};

TEST(SettingsConversions, TextThatDoesNotConvertGivesTheFallback) {
  const ConversionRow rows[] = {
      {"one", "1", 1, 1, 1},
      {"two", "2", 2, 1, 2},
      {"zero_is_false", "0", 0, 0, 0},
      {"true_word", "True", 7, 1, -1},
      {"false_lower", "false", 7, 0, -1},
      {"whole_twips", "11415", 11415, 1, 11415},
      {"decimal", "1234.5", 1234, 1, 1234.5f},
      {"too_big_for_int16", "40000", 7, 1, 40000},
      {"words", "wide", 7, -1, -1},
      {"empty", "", 7, -1, -1},
      {"trailing_junk", "12px", 7, -1, -1},
      {"infinity", "inf", 7, -1, -1},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.name);
    EXPECT_EQ(ToInt16(r.text, 7), r.int16);
    if (r.boolean == -1) {
      EXPECT_TRUE(ToBoolean(r.text, true));
      EXPECT_FALSE(ToBoolean(r.text, false));
    } else {
      EXPECT_EQ(ToBoolean(r.text, r.boolean == 0), r.boolean == 1);
    }
    EXPECT_FLOAT_EQ(ToSingle(r.text, -1), r.single);
  }
}

TEST(SettingsConversions, WholeTwipsAreWrittenAsDigitsOnly) {
  EXPECT_EQ(SingleText(11415.0f), "11415");
  EXPECT_EQ(SingleText(150000.0f), "150000");
  EXPECT_EQ(SingleText(-30.0f), "-30");
  EXPECT_EQ(SingleText(12.5f), "12.5");
  EXPECT_EQ(BooleanText(true), "True");
  EXPECT_EQ(BooleanText(false), "False");
}

}  // namespace
}  // namespace tarvik
