#include "jobs/job_files.h"

#include <dirent.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/text_file.h"
#include "support/gui_test.h"

namespace tarvik {
namespace {

using test::NamesIn;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

const std::string kBom = "\xEF\xBB\xBF";
// "ニュース" in code page 932 and in UTF-8.
const std::string kNewsSjis = "\x83\x6A\x83\x85\x81\x5B\x83\x58";
const std::string kNewsUtf8 = "ニュース";

std::string Bytes(const std::string& path) { return ReadFileBytes(path).value_or("<missing>"); }

class JobFilesTest : public ::testing::Test {
 protected:
  void PutJobFile(const std::string& name, const std::string& bytes) {
    ASSERT_TRUE(WriteFileAtomically(JobFilePath(home(), name), bytes));
  }
  void PutJobList(const std::string& bytes) {
    ASSERT_TRUE(WriteFileAtomically(JobListPath(home()), bytes));
  }
  Job Read(const std::string& name) {
    auto job = ReadJobFile(home(), name);
    EXPECT_TRUE(job.has_value()) << name;
    return job.value_or(Job{});
  }
  Job RoundTrip(const std::vector<JobEntry>& entries) {
    std::string error;
    EXPECT_TRUE(WriteJobFile(home(), "rt", entries, &error)) << error;
    return Read("rt");
  }
  const std::string& home() const { return dir_.path(); }

  test::TempDir dir_;
};

// ---- Writing and reading back
// --------------------------------------------------------------------

struct RoundTripRow {
  const char* name;
  JobEntry written;
  JobEntry read_back;
};

TEST_F(JobFilesTest, EntriesReadBackAsStored) {
  const RoundTripRow rows[] = {
      {"CommasInTitleAreRemoved", {"A, B", "http://a/"}, {"A B", "http://a/"}},
      {"LeadingSpaceInTitleIsKept", {" News", "http://n/"}, {" News", "http://n/"}},
      {"TitleLeadingSpaceAfterCommaRemoval", {", x", "u"}, {" x", "u"}},
      {"QuotedFirstWordKeepsTheWholeTitle",
       {"\"Top\" page", "http://t/"},
       {"＂Top＂ page", "http://t/"}},
      {"InnerQuoteOfPlainTitleIsKept", {"say \"hi\"", "http://s/"}, {"say \"hi\"", "http://s/"}},
      {"UrlWithCommaSurvives", {"t", "http://a/?q=1,2,3"}, {"t", "http://a/?q=1,2,3"}},
      {"UrlWithLeadingSpaceSurvives", {"t", " http://a/"}, {"t", " http://a/"}},
      {"UrlBeginningWithQuote", {"t", "\"x\",y"}, {"t", "%22x%22,y"}},
      {"UrlWithInnerQuoteIsKept", {"t", "http://a/\"b"}, {"t", "http://a/\"b"}},
      {"TrailingSpacesAreKept", {"News  ", "http://n/  "}, {"News  ", "http://n/  "}},
      {"LineBreaksInFieldsSurvive", {"a\r\nb", "c\nd\re"}, {"a\r\nb", "c\nd\re"}},
      {"EmptyFields", {"", ""}, {"", ""}},
      {"TitleWithAccentForcesUtf8", {"Café", "http://c/"}, {"Café", "http://c/"}},
      {"JapaneseTitle", {kNewsUtf8, "http://n/"}, {kNewsUtf8, "http://n/"}},
      {"WaveDashIsNotTurnedIntoFullwidthTilde", {"〜", "http://w/"}, {"〜", "http://w/"}},
      {"YenSignIsNotTurnedIntoBackSlash", {"¥100", "http://y/"}, {"¥100", "http://y/"}},
      {"HalfwidthKatakanaThatLooksLikeUtf8", {"ﾃｩ", "http://k/"}, {"ﾃｩ", "http://k/"}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    Job job = RoundTrip({row.written, {"next", "http://next/"}});
    EXPECT_THAT(job.entries, ElementsAre(row.read_back, JobEntry{"next", "http://next/"}));
    EXPECT_EQ(StoredForm(row.written), row.read_back);
  }
}

TEST_F(JobFilesTest, WritesCodePage932WithCrLfWhenEveryCharacterFits) {
  ASSERT_TRUE(WriteJobFile(home(), "j", {{kNewsUtf8, "http://n/"}, {"b", "c"}}));
  EXPECT_EQ(Bytes(JobFilePath(home(), "j")), kNewsSjis + ",http://n/\r\nb,c\r\n");
}

TEST_F(JobFilesTest, WritesUtf8WithBomWhenACharacterDoesNotFit) {
  ASSERT_TRUE(WriteJobFile(home(), "j", {{"é", "u"}}));
  EXPECT_EQ(Bytes(JobFilePath(home(), "j")), kBom + "é,u\r\n");
}

TEST_F(JobFilesTest, ReadBackIsStable) {
  // Whatever a read gives, writing it and reading again gives the same entries.
  using namespace std::string_literals;
  PutJobFile("j", "\"a\"b,\"x,y\r\n c , d\"\r\n\x82,\x00z\r\n,\r\n"s);
  Job first = Read("j");
  Job second = RoundTrip(first.entries);
  std::vector<JobEntry> expected;
  for (const auto& e : first.entries) expected.push_back(StoredForm(e));
  EXPECT_EQ(second.entries, expected);
  EXPECT_EQ(RoundTrip(second.entries).entries, second.entries);
}

TEST(JobFileCodecTest, EveryCodePage932CharacterSurvivesAWriteAndARead) {
  // Job files are written in code page 932 whenever the text fits, so every character that
  // code page 932 decodes to must encode back and read back unchanged.
  std::string text;
  for (int lead = 0x81; lead <= 0xFC; ++lead) {
    if (lead >= 0xA0 && lead <= 0xDF) continue;
    for (int trail = 0x40; trail <= 0xFC; ++trail) {
      std::string decoded = DecodeCp932(std::string{char(lead), char(trail)});
      if (decoded != "\xEF\xBF\xBD" && decoded.find("\xEF\xBF\xBD") == std::string::npos)
        text += decoded;
    }
  }
  for (int single = 0xA1; single <= 0xDF; ++single)
    text += DecodeCp932(std::string(1, char(single)));
  ASSERT_GT(text.size(), 20000u);
  auto encoded = EncodeCp932(text);
  ASSERT_TRUE(encoded.has_value());
  EXPECT_EQ(DecodeCp932(*encoded), text);
  EXPECT_EQ(DecodeText(EncodeText(text)), text);
}

// ---- Reading files as they are found
// ---------------------------------------------------------------

struct ReadRow {
  const char* name;
  std::string bytes;
  std::vector<JobEntry> entries;
};

TEST_F(JobFilesTest, ReadsFieldsByTheSequentialInputRule) {
  using namespace std::string_literals;
  const ReadRow rows[] = {
      {"TwoLines", "a,http://a/\r\nb,http://b/\r\n", {{"a", "http://a/"}, {"b", "http://b/"}}},
      {"LastLineWithoutLineEnd", "a,b\r\nc,d", {{"a", "b"}, {"c", "d"}}},
      {"LeadingSpacesSkipped", "   News,  http://n/\r\n", {{"News", "http://n/"}}},
      {"QuotedFirstWordOfAnOldFile", "\"Top\" page,http://t/\r\n", {{"Top", "http://t/"}}},
      {"QuotedFieldHoldsCommaAndLineEnd", "\"a,\r\nb\",u\r\n", {{"a,\r\nb", "u"}}},
      {"UnclosedQuoteRunsToTheEnd", "\"abc,def\r\n", {{"abc,def\r\n", ""}}},
      {"UrlWithCommaInAnOldFileIsCut",
       "t,http://a/?x=1,2\r\n",
       {{"t", "http://a/?x=1"}, {"2", ""}}},
      {"OddNumberOfFieldsKeepsLastEntry", "a,b\r\nc\r\n", {{"a", "b"}, {"c", ""}}},
      {"TrailingEmptyLineIsNoEntry", "a,b\r\n\r\n", {{"a", "b"}}},
      {"TrailingSpacesAndInnerQuotesKept", "a b  ,x\"y\r\n", {{"a b  ", "x\"y"}}},
      {"LfLineEnds", "a,b\nc,d\n", {{"a", "b"}, {"c", "d"}}},
      {"CrLineEnds", "a,b\rc,d\r", {{"a", "b"}, {"c", "d"}}},
      {"ShiftJis", kNewsSjis + ",http://n/\r\n", {{kNewsUtf8, "http://n/"}}},
      {"Utf8", kNewsUtf8 + ",http://n/\r\n", {{kNewsUtf8, "http://n/"}}},
      {"Utf8WithBom", kBom + "é,http://e/\r\n", {{"é", "http://e/"}}},
      {"InvalidBytesBecomeReplacementCharacters",
       "\x82,a\r\n\xFF,b\r\n",
       {{"\xEF\xBF\xBD", "a"}, {"\xEF\xBF\xBD", "b"}}},
      {"NulBytesAreKept", "a\0b,u\0v\r\nc,d\r\n"s, {{"a\0b"s, "u\0v"s}, {"c", "d"}}},
      {"NulByteInUtf8FileKeepsUtf8", "é\0,x\r\n"s, {{"é\0"s, "x"}}},
      {"NulByteInFileWithBomIsKept", kBom + "é\0,x\r\n"s, {{"é\0"s, "x"}}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    PutJobFile("j", row.bytes);
    Job job = Read("j");
    EXPECT_EQ(job.entries, row.entries);
    EXPECT_EQ(job.last_index, static_cast<int>(row.entries.size()) - 1);
    EXPECT_FALSE(job.truncated);
  }
}

TEST_F(JobFilesTest, ZeroLengthFileIsAnEmptyJob) {
  ASSERT_TRUE(CreateEmptyJobFile(home(), "empty"));
  Job job = Read("empty");
  EXPECT_THAT(job.entries, IsEmpty());
  EXPECT_EQ(job.last_index, -1);
}

TEST_F(JobFilesTest, CreateEmptyJobFileTruncatesAnExistingOne) {
  PutJobFile("j", "a,b\r\n");
  ASSERT_TRUE(CreateEmptyJobFile(home(), "j"));
  EXPECT_EQ(Bytes(JobFilePath(home(), "j")), "");
}

TEST_F(JobFilesTest, MissingJobFileReadsAsNothing) {
  EXPECT_FALSE(JobFileExists(home(), "none"));
  EXPECT_FALSE(ReadJobFile(home(), "none").has_value());
}

TEST_F(JobFilesTest, SingleTenMegabyteLine) {
  std::string title(10 * 1024 * 1024, 'x');
  PutJobFile("big", title + ",http://big/\r\n");
  Job job = Read("big");
  ASSERT_EQ(job.entries.size(), 1u);
  EXPECT_EQ(job.entries[0].Title.size(), title.size());
  EXPECT_EQ(job.entries[0].URL, "http://big/");
}

TEST_F(JobFilesTest, MoreThan32767EntriesAreCutAtTheLimitAndFlagged) {
  struct Row {
    const char* name;
    int lines;
    int read;
    bool truncated;
  };
  const Row rows[] = {
      {"AtTheLimit", 32767, 32767, false},
      {"OneOver", 32768, 32767, true},
      {"FarOver", 70000, 32767, true},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    std::string bytes;
    for (int i = 0; i < row.lines; ++i) bytes += "t" + std::to_string(i) + ",u\r\n";
    PutJobFile("many", bytes);
    Job job = Read("many");
    ASSERT_EQ(job.entries.size(), static_cast<size_t>(row.read));
    EXPECT_EQ(job.last_index, row.read - 1);
    EXPECT_EQ(job.entries.back().Title, "t" + std::to_string(row.read - 1));
    EXPECT_EQ(job.truncated, row.truncated);
  }
}

// ---- Files on disk
// ---------------------------------------------------------------------------------

TEST_F(JobFilesTest, WritesIntoAMissingJobFilesFolder) {
  ASSERT_FALSE(DirectoryExists(home() + "/JobFiles"));
  std::string error;
  ASSERT_TRUE(WriteJobFile(home(), "new", {{"a", "b"}}, &error)) << error;
  EXPECT_TRUE(JobFileExists(home(), "new"));
  EXPECT_EQ(JobFilePath(home(), "new"), home() + "/JobFiles/new.tvj");
}

TEST_F(JobFilesTest, AtomicReplaceLeavesNoTemporaryFilesBehind) {
  for (int i = 0; i < 3; ++i) {
    ASSERT_TRUE(WriteJobFile(home(), "j", {{"t" + std::to_string(i), "u"}}));
    ASSERT_TRUE(RewriteJobList(home(), {"j", std::to_string(i)}));
    ASSERT_TRUE(AppendJobName(home(), "k"));
  }
  ASSERT_TRUE(CreateEmptyJobFile(home(), "e"));
  // The list's lock file stays; it is empty and never replaced.
  EXPECT_THAT(NamesIn(home()), ElementsAre("JobFiles", "TVJob.lst", "TVJob.lst.lock"));
  EXPECT_THAT(NamesIn(home() + "/JobFiles"), ElementsAre("e.tvj", "j.tvj"));
}

TEST_F(JobFilesTest, FailedWriteLeavesTheOldFileAndNoTemporaryFile) {
  // A folder standing where the job file should be: the final rename must fail, whoever runs.
  PutJobFile("keep", "k,v\r\n");
  ASSERT_EQ(mkdir(JobFilePath(home(), "j").c_str(), 0700), 0);
  std::string error;
  EXPECT_FALSE(WriteJobFile(home(), "j", {{"new", "u"}}, &error));
  EXPECT_FALSE(error.empty());
  EXPECT_FALSE(CreateEmptyJobFile(home(), "j"));
  EXPECT_TRUE(DirectoryExists(JobFilePath(home(), "j")));
  EXPECT_THAT(NamesIn(home() + "/JobFiles"), ElementsAre("j.tvj", "keep.tvj"));
}

// Replacing by rename needs only the folder's permission: the file's own is honoured, and kept.
TEST_F(JobFilesTest, AReadOnlyJobFileIsLeftAloneAndAReplacedOneKeepsItsPermissions) {
  PutJobFile("locked", "a,http://a/\r\n");
  const std::string locked = JobFilePath(home(), "locked");
  ASSERT_EQ(chmod(locked.c_str(), 0444), 0);
  std::string error;
  EXPECT_FALSE(WriteJobFile(home(), "locked", {{"b", "http://b/"}}, &error));
  EXPECT_EQ(error, "read-only file");
  EXPECT_EQ(ReadFileBytes(locked), "a,http://a/\r\n");

  PutJobFile("private", "a,http://a/\r\n");
  const std::string priv = JobFilePath(home(), "private");
  ASSERT_EQ(chmod(priv.c_str(), 0600), 0);
  ASSERT_TRUE(WriteJobFile(home(), "private", {{"b", "http://b/"}}));
  struct stat st {};
  ASSERT_EQ(stat(priv.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
}

TEST_F(JobFilesTest, RenameJobFile) {
  PutJobFile("a", "a,1\r\n");
  PutJobFile("b", "b,2\r\n");
  std::string error;

  EXPECT_FALSE(RenameJobFile(home(), "a", "b", &error)) << "must not replace another job";
  EXPECT_FALSE(error.empty());
  EXPECT_EQ(Bytes(JobFilePath(home(), "a")), "a,1\r\n");
  EXPECT_EQ(Bytes(JobFilePath(home(), "b")), "b,2\r\n");

  EXPECT_FALSE(RenameJobFile(home(), "missing", "c"));
  EXPECT_TRUE(RenameJobFile(home(), "a", "a"));

  ASSERT_TRUE(RenameJobFile(home(), "a", "c", &error)) << error;
  EXPECT_FALSE(JobFileExists(home(), "a"));
  EXPECT_EQ(Bytes(JobFilePath(home(), "c")), "a,1\r\n");
}

TEST_F(JobFilesTest, DeleteJobFile) {
  PutJobFile("a", "a,1\r\n");
  EXPECT_TRUE(DeleteJobFile(home(), "a"));
  EXPECT_FALSE(JobFileExists(home(), "a"));
  EXPECT_TRUE(DeleteJobFile(home(), "a")) << "an already missing file counts as deleted";
}

TEST_F(JobFilesTest, NamesThatLeaveTheJobFilesFolderAreRefused) {
  ASSERT_TRUE(WriteFileAtomically(home() + "/outside.tvj", "x,y\r\n"));
  PutJobFile("keep", "k,v\r\n");
  const std::string names[] = {"../outside", "a/b", std::string("a\0b", 3)};
  for (const auto& name : names) {
    SCOPED_TRACE(name);
    std::string error;
    EXPECT_FALSE(JobFileExists(home(), name));
    EXPECT_FALSE(ReadJobFile(home(), name).has_value());
    EXPECT_FALSE(WriteJobFile(home(), name, {{"a", "b"}}, &error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(CreateEmptyJobFile(home(), name));
    EXPECT_FALSE(DeleteJobFile(home(), name));
    EXPECT_FALSE(RenameJobFile(home(), "keep", name));
  }
  EXPECT_EQ(Bytes(home() + "/outside.tvj"), "x,y\r\n");
  EXPECT_TRUE(JobFileExists(home(), "keep"));
}

// ---- The job list
// ----------------------------------------------------------------------------------

TEST_F(JobFilesTest, ReadsEveryLineOfTheJobList) {
  struct Row {
    const char* name;
    std::string bytes;
    std::vector<std::string> names;
  };
  const Row rows[] = {
      {"EmptyFile", "", {}},
      {"EmptyLineIsAnItem", "News\r\n\r\nSport\r\n", {"News", "", "Sport"}},
      {"FinalLineWithoutTerminatorCounts", "News\r\nSport", {"News", "Sport"}},
      {"CrOnly", "a\rb\r\rc\r", {"a", "b", "", "c"}},
      {"LfOnly", "a\nb\n\nc\n", {"a", "b", "", "c"}},
      {"ShiftJis", kNewsSjis + "\r\n", {kNewsUtf8}},
      {"Utf8WithBom", kBom + "Café\r\n", {"Café"}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    PutJobList(row.bytes);
    EXPECT_TRUE(JobListExists(home()));
    EXPECT_EQ(ReadJobList(home()), row.names);
  }
}

TEST_F(JobFilesTest, MissingJobListReadsAsNothing) {
  EXPECT_FALSE(JobListExists(home()));
  EXPECT_FALSE(ReadJobList(home()).has_value());
}

TEST_F(JobFilesTest, AppendJobName) {
  struct Row {
    const char* name;
    std::optional<std::string> before;  // nothing: no list file
    std::string appended;
    std::string after;
  };
  const Row rows[] = {
      {"MissingListIsCreated", std::nullopt, "News", "News\r\n"},
      {"AddsAtTheEnd", "News\r\n", "Sport", "News\r\nSport\r\n"},
      {"LastLineWithoutTerminatorIsNotJoined", "News", "Sport", "News\r\nSport\r\n"},
      {"OtherLineEndsKeptAsTheyStand", "a\nb\r", "c", "a\nb\rc\r\n"},
      {"ShiftJisListStaysShiftJis", kNewsSjis + "\r\n", kNewsUtf8,
       kNewsSjis + "\r\n" + kNewsSjis + "\r\n"},
      {"AsciiListTakesShiftJis", "a\r\n", kNewsUtf8, "a\r\n" + kNewsSjis + "\r\n"},
      {"AsciiListBecomesUtf8ForAccent", "a\r\n", "é", kBom + "a\r\né\r\n"},
      {"ShiftJisListBecomesUtf8ForAccent", kNewsSjis + "\r\n", "é", kBom + kNewsUtf8 + "\r\né\r\n"},
      {"Utf8ListStaysUtf8", kBom + "é\r\n", kNewsUtf8, kBom + "é\r\n" + kNewsUtf8 + "\r\n"},
      {"Utf8ListWithoutBomStaysUtf8", "é\r\n", kNewsUtf8, "é\r\n" + kNewsUtf8 + "\r\n"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    unlink(JobListPath(home()).c_str());
    if (row.before) PutJobList(*row.before);
    std::string error;
    ASSERT_TRUE(AppendJobName(home(), row.appended, &error)) << error;
    EXPECT_EQ(Bytes(JobListPath(home())), row.after);
    auto names = ReadJobList(home());
    ASSERT_TRUE(names.has_value());
    EXPECT_EQ(names->back(), row.appended);
  }
}

TEST_F(JobFilesTest, RemoveJobFromListDropsEveryCopy) {
  PutJobList("News\r\nSport\r\nNews\r\n");
  ASSERT_TRUE(RemoveJobFromList(home(), "News"));
  EXPECT_EQ(Bytes(JobListPath(home())), "Sport\r\n");
  EXPECT_THAT(*ReadJobList(home()), ElementsAre("Sport"));
}

TEST_F(JobFilesTest, RemoveJobFromMissingListFails) {
  std::string error;
  EXPECT_FALSE(RemoveJobFromList(home(), "News", &error));
  EXPECT_FALSE(error.empty());
  EXPECT_FALSE(JobListExists(home()));
}

TEST_F(JobFilesTest, RewriteJobListKeepsOrderAndEmptyNames) {
  ASSERT_TRUE(RewriteJobList(home(), {"b", "", kNewsUtf8, "a"}));
  EXPECT_EQ(Bytes(JobListPath(home())), "b\r\n\r\n" + kNewsSjis + "\r\na\r\n");
  EXPECT_THAT(*ReadJobList(home()), ElementsAre("b", "", kNewsUtf8, "a"));
}

TEST_F(JobFilesTest, NameWithLineBreakWouldSplitTheListAndIsRefused) {
  PutJobList("News\r\n");
  for (const std::string name : {"a\r\nb", "a\nb", "a\rb"}) {
    std::string error;
    EXPECT_FALSE(AppendJobName(home(), name, &error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(RewriteJobList(home(), {"x", name}));
  }
  EXPECT_EQ(Bytes(JobListPath(home())), "News\r\n");
}

}  // namespace
}  // namespace tarvik

// ---- Faults of the file layer ------------------------------------------------------------------

namespace tarvik {
namespace {

TEST(JobFileTrailingBlankLine, IsNoEntry) {
  const std::vector<JobEntry> two = {{"A", "http://a/"}, {"B", "http://b/"}};
  for (std::string end : {"\r\n", "\n", "\r", "\r\n\r\n"}) {
    std::string bytes = "A,http://a/\r\nB,http://b/" + end + end;
    Job job = ParseJobFile(bytes);
    EXPECT_EQ(job.entries, two) << "ending " << ::testing::PrintToString(end);
    EXPECT_EQ(job.last_index, 1);
  }
  // A file of blank lines holds no entry; a blank title line with a URL after it still counts.
  EXPECT_THAT(ParseJobFile("\r\n\r\n").entries, IsEmpty());
  EXPECT_EQ(ParseJobFile(",http://x/\r\n\r\n").entries, (std::vector<JobEntry>{{"", "http://x/"}}));
}

TEST(JobListRename, KeepsJobsAddedSinceTheListWasRead) {
  test::TempDir app;
  ASSERT_TRUE(RewriteJobList(app.path(), {"A", "B"}));
  ASSERT_TRUE(AppendJobName(app.path(), "C"));  // another window, after the editor read A, B
  std::string error;
  ASSERT_TRUE(RenameJobInList(app.path(), "B", "B2", &error)) << error;
  EXPECT_THAT(*ReadJobList(app.path()), ElementsAre("A", "B2", "C"));
  // A name that is gone, or a name already listed, changes nothing.
  EXPECT_FALSE(RenameJobInList(app.path(), "B", "X"));
  EXPECT_FALSE(RenameJobInList(app.path(), "A", "C"));
  EXPECT_FALSE(RenameJobInList(app.path(), "A", "two\nlines"));
  EXPECT_THAT(*ReadJobList(app.path()), ElementsAre("A", "B2", "C"));
}

TEST(JobListLocking, TwoProcessesAppendingAtOnceKeepEveryName) {
  test::TempDir app;
  ASSERT_TRUE(RewriteJobList(app.path(), {}));
  int go[2];
  ASSERT_EQ(pipe(go), 0);
  std::vector<pid_t> children;
  for (char who : {'p', 'q'}) {
    pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      close(go[1]);
      char c;
      if (read(go[0], &c, 1) != 0) _exit(3);  // both start when the pipe closes
      for (int i = 0; i < 300; ++i)
        if (!AppendJobName(app.path(), std::string(1, who) + std::to_string(i))) _exit(2);
      _exit(0);
    }
    children.push_back(pid);
  }
  close(go[0]);
  close(go[1]);
  for (pid_t pid : children) {
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  }
  std::vector<std::string> names = ReadJobList(app.path()).value_or(std::vector<std::string>{});
  EXPECT_EQ(names.size(), 600u);
  std::sort(names.begin(), names.end());
  for (char who : {'p', 'q'})
    for (int i = 0; i < 300; ++i)
      EXPECT_TRUE(
          std::binary_search(names.begin(), names.end(), std::string(1, who) + std::to_string(i)))
          << who << i;
}

TEST(HugeJobFiles, AreNotReadAndTheListIsNotChanged) {
  test::TempDir app;
  constexpr off_t k40G = off_t{40} << 30;
  ASSERT_TRUE(CreateEmptyJobFile(app.path(), "News"));
  ASSERT_EQ(truncate(JobFilePath(app.path(), "News").c_str(), k40G), 0);
  ReadFailure failure = ReadFailure::None;
  EXPECT_FALSE(ReadJobFile(app.path(), "News", &failure));
  EXPECT_EQ(failure, ReadFailure::TooLarge);

  // A job file of 256 MiB is still read; one byte more is not.
  ASSERT_EQ(truncate(JobFilePath(app.path(), "News").c_str(), kJobFileReadLimit + 1), 0);
  EXPECT_FALSE(ReadJobFile(app.path(), "News", &failure));
  EXPECT_EQ(failure, ReadFailure::TooLarge);

  ASSERT_TRUE(RewriteJobList(app.path(), {"News"}));
  ASSERT_EQ(truncate(JobListPath(app.path()).c_str(), kJobListReadLimit + 1), 0);
  EXPECT_FALSE(ReadJobList(app.path(), &failure));
  EXPECT_EQ(failure, ReadFailure::TooLarge);
  std::string error;
  EXPECT_FALSE(AppendJobName(app.path(), "Other", &error));
  EXPECT_EQ(error, "ファイルが大きすぎます。\r\n" + JobListPath(app.path()));
  EXPECT_FALSE(RemoveJobFromList(app.path(), "News"));
  EXPECT_FALSE(RenameJobInList(app.path(), "News", "Other"));
  struct stat st {};
  ASSERT_EQ(stat(JobListPath(app.path()).c_str(), &st), 0);
  EXPECT_EQ(static_cast<size_t>(st.st_size), kJobListReadLimit + 1) << "the list was replaced";
}

}  // namespace
}  // namespace tarvik
