// Reading and writing a full job (32,767 entries with Japanese titles, code page 932 on disk),
// measured against the floor: reading the same file and converting it from code page 932 in one
// call. The ratios are printed at the end; the goals are reading within 2x and writing within 3x.
// Then a save of a small job in a folder of 40,000 job files.
#include <glib.h>
#include <glib/gstdio.h>

#include <unistd.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "jobs/job_files.h"
#include "platform/text_file.h"

namespace {

struct Fixture {
  std::string home;
  std::vector<tarvik::JobEntry> entries;

  Fixture() {
    gchar* dir = g_dir_make_tmp("tarvik-bench-XXXXXX", nullptr);
    home = dir;
    g_free(dir);
    for (int i = 0; i < tarvik::kMaxJobEntries; ++i) {
      const std::string n = std::to_string(i);
      entries.push_back({"ニュース第" + n + "号：東京の天気と交通情報",
                         "http://www.example.jp/news/" + n + ".html"});
    }
    if (!tarvik::WriteJobFile(home, "read", entries)) std::abort();
    // The floor converts from code page 932, so the file must be in it.
    auto bytes = tarvik::ReadFileBytes(tarvik::JobFilePath(home, "read"));
    if (!bytes || bytes->starts_with("\xEF\xBB\xBF")) std::abort();
  }
  ~Fixture() {
    for (const char* name : {"read", "write"}) g_remove(tarvik::JobFilePath(home, name).c_str());
    g_rmdir((home + "/JobFiles").c_str());
    g_rmdir(home.c_str());
  }
};

Fixture& Data() {
  static Fixture fixture;
  return fixture;
}

void BM_ReadFloor(benchmark::State& state) {
  const std::string path = tarvik::JobFilePath(Data().home, "read");
  for (auto _ : state) {
    auto bytes = tarvik::ReadFileBytes(path);
    std::string text = tarvik::DecodeCp932(*bytes);
    benchmark::DoNotOptimize(text.data());
  }
}
BENCHMARK(BM_ReadFloor)->Unit(benchmark::kMillisecond);

void BM_ReadJobFile(benchmark::State& state) {
  for (auto _ : state) {
    auto job = tarvik::ReadJobFile(Data().home, "read");
    if (!job || job->entries.size() != Data().entries.size()) {
      state.SkipWithError("wrong read");
      break;
    }
    benchmark::DoNotOptimize(job->entries.data());
  }
}
BENCHMARK(BM_ReadJobFile)->Unit(benchmark::kMillisecond);

void BM_WriteJobFile(benchmark::State& state) {
  for (auto _ : state) {
    if (!tarvik::WriteJobFile(Data().home, "write", Data().entries)) {
      state.SkipWithError("write failed");
      break;
    }
  }
}
BENCHMARK(BM_WriteJobFile)->Unit(benchmark::kMillisecond);

// The part of writing that is not the file system: the bytes of the file.
void BM_FormatJobFile(benchmark::State& state) {
  for (auto _ : state) {
    std::string bytes = tarvik::FormatJobFile(Data().entries);
    benchmark::DoNotOptimize(bytes.data());
  }
}
BENCHMARK(BM_FormatJobFile)->Unit(benchmark::kMillisecond);

// A save of a small job beside 40,000 other job files: what one save costs in a large jobs
// folder, where the folder's size must not count.
struct LargeFolder {
  std::string home;
  std::vector<tarvik::JobEntry> entries;
  static constexpr int kFiles = 40000;

  LargeFolder() {
    gchar* dir = g_dir_make_tmp("tarvik-bench-XXXXXX", nullptr);
    home = dir;
    g_free(dir);
    g_mkdir((home + "/JobFiles").c_str(), 0755);
    for (int i = 0; i < kFiles; ++i) {
      const std::string n = std::to_string(i);
      if (!g_file_set_contents(tarvik::JobFilePath(home, "Job " + n).c_str(), "t,http://e/\r\n", -1,
                               nullptr))
        std::abort();
    }
    for (int i = 0; i < 20; ++i)
      entries.push_back(
          {"ページ" + std::to_string(i), "http://www.example.jp/" + std::to_string(i)});
  }
  ~LargeFolder() {
    for (int i = 0; i < kFiles; ++i)
      g_remove(tarvik::JobFilePath(home, "Job " + std::to_string(i)).c_str());
    g_remove(tarvik::JobFilePath(home, "saved").c_str());
    g_rmdir((home + "/JobFiles").c_str());
    g_rmdir(home.c_str());
  }
};

void BM_SaveAmong40000Files(benchmark::State& state) {
  static LargeFolder folder;
  for (auto _ : state) {
    if (!tarvik::WriteJobFile(folder.home, "saved", folder.entries)) {
      state.SkipWithError("write failed");
      break;
    }
  }
}
BENCHMARK(BM_SaveAmong40000Files)->Unit(benchmark::kMillisecond);

// Prints the usual table and remembers each benchmark's real time: the median when repetitions
// were asked for, else the one run.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  // Colours only on a terminal, so that saved output stays plain text.
  RatioReporter() : ConsoleReporter(isatty(STDOUT_FILENO) ? OO_Defaults : OO_Tabular) {}
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const auto& run : runs) {
      const std::string& name = run.run_name.function_name;
      if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median") {
        times_[name] = run.GetAdjustedRealTime();
        medians_[name] = true;
      } else if (run.run_type == Run::RT_Iteration && run.iterations > 0 && !medians_[name]) {
        times_[name] = run.GetAdjustedRealTime();
      }
    }
  }
  double Time(const std::string& name) const {
    auto it = times_.find(name);
    return it == times_.end() ? 0 : it->second;
  }

 private:
  std::map<std::string, double> times_;
  std::map<std::string, bool> medians_;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  const double floor = reporter.Time("BM_ReadFloor");
  if (floor > 0) {
    const double read = reporter.Time("BM_ReadJobFile") / floor;
    const double write = reporter.Time("BM_WriteJobFile") / floor;
    std::printf("read / floor:  %.2fx (goal 2x)\nwrite / floor: %.2fx (goal 3x)\n", read, write);
  }
  benchmark::Shutdown();
  return 0;
}
