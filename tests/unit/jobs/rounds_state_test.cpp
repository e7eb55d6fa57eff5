// What a round through a job keeps: the visible text of a page (the same for pages whose markup
// changed invisibly), and the job's state file on real files: its round trip with the caps, a
// sync tool's conflict copy merged, entries that left the job, and a damaged file.
#include <glib.h>
#include <gtest/gtest.h>

#include "jobs/seen_state.h"
#include "jobs/visible_text.h"
#include "platform/text_file.h"
#include "support/gui_test.h"

namespace tarvik {
namespace {

using test::TempDir;
using Blocks = std::vector<std::string>;

// The trash of these tests, on the file system of their temporary folders. GLib reads the
// variable once, so it is set before any test runs.
class TrashOfOurOwn : public ::testing::Environment {
 public:
  void SetUp() override { g_setenv("XDG_DATA_HOME", data_.path().c_str(), TRUE); }
  std::string trash() const { return data_.path() + "/Trash/files"; }

 private:
  TempDir data_;
};
TrashOfOurOwn* const kTrash =
    static_cast<TrashOfOurOwn*>(::testing::AddGlobalTestEnvironment(new TrashOfOurOwn));

const char kPage[] = R"(<!DOCTYPE html><html><head><title>Shop</title>
<script src="/app.js?v=1a2b"></script><style>p{color:red}</style></head>
<body><!-- served by node 7 -->
<h1>Garden   tools</h1>
<p>Spade&nbsp;costs <b>12</b> euros.</p>
<form><input type="hidden" name="token" value="abc"></form>
<div hidden>secret</div><div style="display: none">gone</div><template>tpl</template>
<noscript>enable scripts</noscript>
<ul><li>Rake</li><li>Hoe</li></ul><div id="ad-123" class="x"></div>
<p>Every tool ships within two days, and comes back free of charge within a month.</p>
</body></html>)";

TEST(VisibleText, KeepsWhatAReaderSeesAndIgnoresInvisibleChanges) {
  const VisibleText text = ExtractVisibleText(kPage);
  EXPECT_EQ(text.blocks,
            (Blocks{"Garden tools", "Spade costs 12 euros.", "Rake", "Hoe",
                    "Every tool ships within two days, and comes back free of charge within a "
                    "month."}));
  EXPECT_FALSE(text.needs_scripts);
  EXPECT_EQ(text.fingerprint.size(), 32u);

  // Changes a reader cannot see leave the fingerprint as it was.
  std::string invisible = kPage;
  for (auto [from, to] : std::vector<std::pair<std::string, std::string>>{
           {"abc", "xyz"},
           {"v=1a2b", "v=9f9f"},
           {"node 7", "node 8"},
           {"ad-123", "ad-987"},
           {"type=\"hidden\" name=\"token\"", "name=\"token\" type=\"hidden\""},
           {"secret", "other secret"},
           {"Garden   tools", "Garden\n  tools"}})
    invisible.replace(invisible.find(from), from.size(), to);
  EXPECT_EQ(ExtractVisibleText(invisible).fingerprint, text.fingerprint);

  // A changed price and an added paragraph do not.
  std::string price = kPage;
  price.replace(price.find("12"), 2, "14");
  EXPECT_NE(ExtractVisibleText(price).fingerprint, text.fingerprint);
  std::string added = kPage;
  added.replace(added.find("<ul>"), 0, "<p>New: shears</p>");
  const VisibleText more = ExtractVisibleText(added);
  EXPECT_NE(more.fingerprint, text.fingerprint);
  EXPECT_EQ(more.blocks[2], "New: shears");

  // The same blocks through the rendered-page route give the same fingerprint.
  std::string joined = " Garden  tools\nSpade costs 12 euros.\n\nRake\nHoe\n";
  joined += text.blocks.back();
  EXPECT_EQ(VisibleTextFromScriptResult(joined).fingerprint, text.fingerprint);
}

TEST(VisibleText, CharsetsAndPagesThatNeedScripts) {
  // Shift_JIS bytes named by the response, and by the page's own <meta>.
  const std::string sjis = "\x93\xfa\x96\x7b";  // 日本
  EXPECT_EQ(ExtractVisibleText("<p>" + sjis + "</p>", "Shift_JIS").blocks, Blocks{"日本"});
  EXPECT_EQ(ExtractVisibleText("<meta charset=\"shift_jis\"><p>" + sjis + "</p>").blocks,
            Blocks{"日本"});
  EXPECT_EQ(ExtractVisibleText("<p>日本</p>").blocks, Blocks{"日本"});

  EXPECT_TRUE(
      ExtractVisibleText("<body><div id=root>Loading…</div><script>x()</script>").needs_scripts);
  EXPECT_FALSE(ExtractVisibleText("<body><p>Short page.</p>").needs_scripts);
  EXPECT_TRUE(ExtractVisibleText("").blocks.empty());
}

SeenEntry Seen(const std::string& url, int64_t at, const Blocks& blocks) {
  SeenEntry e;
  e.url = url;
  e.seen_at = at;
  e.seen = MakeLook(blocks, VisibleTextFingerprint(blocks), false, "\"v1\"",
                    "Tue, 08 Dec 2026 10:00:00 GMT");
  return e;
}

TEST(SeenStateFile, RoundTripCapsAndEntriesThatLeftTheJob) {
  TempDir dir;
  SeenState state;
  state.entries["http://a/"] = Seen("http://a/", 100, {"Alpha", "Beta 日本"});
  SeenEntry b = Seen("http://b/", 200, {"Old"});
  b.checked_at = 300;
  b.result = CheckResult::Changed;
  b.checked = MakeLook({"Old", "New"}, VisibleTextFingerprint({"Old", "New"}), true, "", "");
  state.entries["http://b/"] = b;
  SeenEntry c;
  c.url = "http://c/";
  c.checked_at = 300;
  c.result = CheckResult::Unreachable;
  c.reason = "接続できません\nline two";
  state.entries["http://c/"] = c;
  // A text past the cap keeps its first blocks and says it was cut.
  const Blocks big(2000, std::string(100, 'x'));
  state.entries["http://big/"] = Seen("http://big/", 50, big);
  EXPECT_TRUE(state.entries["http://big/"].seen.cut);
  EXPECT_LT(state.entries["http://big/"].seen.blocks.size(), big.size());

  const std::vector<std::string> urls = {"http://a/", "http://b/", "http://c/", "http://big/"};
  SeenStateSave saved = SaveSeenState(dir.path(), "Shop", state, urls);
  ASSERT_TRUE(saved.ok) << saved.error;
  SeenStateRead read = ReadSeenState(dir.path(), "Shop");
  EXPECT_EQ(read.message, "");
  state.entries["http://c/"].reason = "接続できません line two";
  EXPECT_EQ(read.state, state);
  EXPECT_TRUE(IsMarked(*read.state.Find("http://b/")));
  EXPECT_FALSE(IsMarked(*read.state.Find("http://a/")));
  const std::optional<std::string> bytes = ReadFileBytes(SeenStatePath(dir.path(), "Shop"));
  ASSERT_TRUE(bytes);
  EXPECT_EQ(bytes->substr(0, 13), "TarvikSeen 1\n");
  EXPECT_LT(bytes->size(), 8000u);  // compressed

  // "Mark seen" takes the checked text over; an entry that left the job goes on the next write.
  AdoptCheckAsSeen(read.state.At("http://b/"), 400);
  EXPECT_EQ(read.state.Find("http://b/")->seen.blocks, (Blocks{"Old", "New"}));
  saved = SaveSeenState(dir.path(), "Shop", read.state, {"http://a/", "http://b/"});
  ASSERT_TRUE(saved.ok);
  read = ReadSeenState(dir.path(), "Shop");
  EXPECT_EQ(read.state.entries.size(), 2u);
  EXPECT_FALSE(IsMarked(*read.state.Find("http://b/")));
  EXPECT_EQ(read.state.Find("http://b/")->seen_at, 400);

  // Past the file's cap, the oldest entries lose their kept text first.
  SeenState many;
  std::vector<std::string> many_urls;
  uint64_t noise = 88172645463325252u;  // text that compresses badly
  for (int i = 0; i < 150; ++i) {
    Blocks text;
    for (int j = 0; j < 2500; ++j) {
      noise ^= noise << 13, noise ^= noise >> 7, noise ^= noise << 17;
      text.push_back(std::to_string(noise));
    }
    const std::string url = "http://m/" + std::to_string(i);
    many.entries[url] = Seen(url, 1000 + i, text);
    many_urls.push_back(url);
  }
  const std::string formatted = FormatSeenState(many);
  EXPECT_LE(formatted.size(), kSeenFileCap);
  const SeenState back = ParseSeenState(formatted, "x").state;
  EXPECT_EQ(back.entries.size(), 150u);
  EXPECT_TRUE(back.Find("http://m/0")->seen.blocks.empty());
  EXPECT_EQ(back.Find("http://m/0")->seen.fingerprint, many.entries["http://m/0"].seen.fingerprint);
  EXPECT_EQ(back.Find("http://m/149")->seen, many.entries["http://m/149"].seen);
}

TEST(SeenStateFile, ConflictCopyMergedEntryByEntryLaterSeenWins) {
  TempDir dir;
  SeenState here, there;
  here.entries["http://a/"] = Seen("http://a/", 100, {"A here"});
  here.entries["http://b/"] = Seen("http://b/", 500, {"B here"});
  there.entries["http://a/"] = Seen("http://a/", 200, {"A there"});
  there.entries["http://b/"] = Seen("http://b/", 400, {"B there"});
  there.entries["http://c/"] = Seen("http://c/", 300, {"C there"});
  const std::vector<std::string> urls = {"http://a/", "http://b/", "http://c/"};
  ASSERT_TRUE(SaveSeenState(dir.path(), "News", here, urls).ok);
  // The other machine's file, as a sync tool leaves it beside ours.
  const std::string copy = dir.file("JobFiles/News.sync-conflict-20261208-101010-ABCDEFG.tvseen");
  ASSERT_TRUE(WriteFileAtomically(copy, FormatSeenState(there)));

  SeenStateRead read = ReadSeenState(dir.path(), "News");
  EXPECT_EQ(read.conflict_copies, std::vector<std::string>{copy});
  EXPECT_EQ(read.state.Find("http://a/")->seen.blocks, Blocks{"A there"});
  EXPECT_EQ(read.state.Find("http://b/")->seen.blocks, Blocks{"B here"});
  EXPECT_EQ(read.state.Find("http://c/")->seen.blocks, Blocks{"C there"});

  // The next write keeps the merge and puts the copy in the trash; another job's state is not
  // touched.
  ASSERT_TRUE(SaveSeenState(dir.path(), "Newsletter", there, urls).ok);
  ASSERT_TRUE(SaveSeenState(dir.path(), "News", SeenState{}, urls).ok);
  EXPECT_FALSE(FileExists(copy));
  EXPECT_TRUE(FileExists(kTrash->trash() + "/News.sync-conflict-20261208-101010-ABCDEFG.tvseen"));
  EXPECT_EQ(ReadSeenState(dir.path(), "News").state, read.state);
  EXPECT_EQ(ReadSeenState(dir.path(), "Newsletter").state.entries.size(), 3u);
}

TEST(SeenStateFile, DamagedFileCostsOnlyItsMarks) {
  TempDir dir;
  SeenState state;
  state.entries["http://a/"] = Seen("http://a/", 100, {"A"});
  state.entries["http://b/"] = Seen("http://b/", 100, {"B"});
  ASSERT_TRUE(SaveSeenState(dir.path(), "Job", state, {"http://a/", "http://b/"}).ok);
  const std::string path = SeenStatePath(dir.path(), "Job");
  std::string bytes = *ReadFileBytes(path);

  // A damaged kept text loses that entry only, and says so.
  std::string one_bad = bytes;
  const size_t t = one_bad.find("T ", one_bad.find("U http://b/"));
  one_bad.replace(t + 4, 6, "!!!!!!");
  test::WriteBytes(path, one_bad);
  SeenStateRead read = ReadSeenState(dir.path(), "Job");
  EXPECT_EQ(read.state.entries.size(), 1u);
  EXPECT_TRUE(read.state.Find("http://a/"));
  EXPECT_NE(read.message.find("1 件が壊れて"), std::string::npos) << read.message;

  // Garbage, a newer version, a folder in its place: no marks, a message, nothing thrown.
  for (const std::string& garbage :
       {std::string("\x89PNG\r\n\x1a\n", 8), std::string("TarvikSeen 9\nU x\n")}) {
    test::WriteBytes(path, garbage);
    read = ReadSeenState(dir.path(), "Job");
    EXPECT_TRUE(read.state.entries.empty());
    EXPECT_NE(read.message.find("Job.tvseen"), std::string::npos) << read.message;
  }
  // The next write replaces the damaged file with a whole one.
  SeenStateSave saved = SaveSeenState(dir.path(), "Job", state, {"http://a/", "http://b/"});
  ASSERT_TRUE(saved.ok);
  EXPECT_FALSE(saved.message.empty());
  EXPECT_EQ(ReadSeenState(dir.path(), "Job").state, state);
}

}  // namespace
}  // namespace tarvik
