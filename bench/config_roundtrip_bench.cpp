// The whole save that OK makes of a configuration file of 100,000 pairs: the
// read at start, the read again at OK, the dialog's values set, the write
// and the flush; against a copy of the same bytes flushed to disk, with the
// heap peak of the save.
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <new>

#include <malloc.h>
#include <unistd.h>
#include <string>
#include <vector>

#include "config/config_reader.h"
#include "config/config_writer.h"

namespace {

std::atomic<std::size_t> g_heapInUse{0};
std::atomic<std::size_t> g_heapPeak{0};

constexpr int kPairs = 100000;

std::filesystem::path MakeGameFolder() {
  const auto folder = std::filesystem::temp_directory_path() / "vorn_bench";
  std::filesystem::create_directories(folder);
  std::string text;
  for (int i = 0; i < kPairs; ++i) {
    text += "SomeSetting" + std::to_string(i) + " = " + std::to_string(i * 7) + "\r\n";
  }
  std::FILE* f = std::fopen((folder / "Vorn.cfg").string().c_str(), "wb");
  std::fwrite(text.data(), 1, text.size(), f);
  std::fclose(f);
  return folder;
}

// The values the dialog sets on OK, as many as it has.
vorn::SettingValues DialogValues() {
  vorn::SettingValues values;
  for (const char* key :
       {"GlareRender", "ShaderVersion", "SupportShader", "Shadowmap",     "WaterReflection",
        "VolumeCloud", "Texture",       "Character",     "HeightField",   "Object",
        "Ocean",       "Sky",           "Tree",          "TreeNormalMap", "Bit",
        "Width",       "Height",        "WindowMode",    "Audio",         "VSync"}) {
    values.emplace_back(key, "1");
  }
  values.emplace_back("VideoCard", "NVIDIA_GeForce_8800_GTX");
  return values;
}

void RoundTrip(benchmark::State& state) {
  const vorn::SettingValues values = DialogValues();
  for (auto _ : state) {
    vorn::SettingsStore store;
    g_heapPeak = g_heapInUse.load();
    const std::size_t base = g_heapInUse;
    if (vorn::ReadGameConfig(store) != vorn::ReadResult::kRead ||
        !vorn::SaveGameConfig(store, values).ok) {
      state.SkipWithError("save failed");
    }
    state.counters["peak_heap_bytes"] = static_cast<double>(g_heapPeak - base);
  }
  state.counters["file_bytes"] = static_cast<double>(std::filesystem::file_size("Vorn.cfg"));
}

// With an argument of 1 the copy is also flushed to disk, as a save must be.
void BufferedCopy(benchmark::State& state) {
  const bool flushToDisk = state.range(0) == 1;
  for (auto _ : state) {
    std::FILE* in = std::fopen("Vorn.cfg", "rb");
    std::FILE* out = std::fopen("Copy.cfg", "wb");
    char buffer[64 * 1024];
    std::size_t got;
    while ((got = std::fread(buffer, 1, sizeof(buffer), in)) > 0) std::fwrite(buffer, 1, got, out);
    std::fflush(out);
    if (flushToDisk) fsync(fileno(out));
    std::fclose(out);
    std::fclose(in);
  }
}

}  // namespace

// Every C++ allocation is counted by the size malloc really gave it.
void* operator new(std::size_t size) {
  void* block = std::malloc(size);
  if (!block) throw std::bad_alloc();
  const std::size_t now = g_heapInUse += malloc_usable_size(block);
  std::size_t peak = g_heapPeak;
  while (now > peak && !g_heapPeak.compare_exchange_weak(peak, now)) {
  }
  return block;
}

void operator delete(void* block) noexcept {
  if (!block) return;
  g_heapInUse -= malloc_usable_size(block);
  std::free(block);
}

void operator delete(void* p, std::size_t) noexcept { operator delete(p); }

BENCHMARK(RoundTrip)->Unit(benchmark::kMillisecond);
BENCHMARK(BufferedCopy)->Arg(0)->Unit(benchmark::kMillisecond);
BENCHMARK(BufferedCopy)->Name("BufferedCopyFlushed")->Arg(1)->Unit(benchmark::kMillisecond);

namespace {

// Prints the table as usual, then the figures the targets are stated in.
class SummaryReporter : public benchmark::ConsoleReporter {
 public:
  // A reporter passed in is not given the library's terminal check: colour
  // only for a terminal, so that logs and pipes get plain text.
  SummaryReporter() : ConsoleReporter(isatty(fileno(stdout)) ? OO_Defaults : OO_Tabular) {}
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      const std::string name = run.benchmark_name();
      seconds_[name.substr(0, name.find('/'))] = run.GetAdjustedRealTime();
      for (const auto& [counter, value] : run.counters) counters_[counter] = value;
    }
    ConsoleReporter::ReportRuns(runs);
  }
  void Finalize() override {
    ConsoleReporter::Finalize();
    const double roundTrip = seconds_["RoundTrip"], copy = seconds_["BufferedCopy"];
    const double flushed = seconds_["BufferedCopyFlushed"];
    std::printf(
        "\nthe save OK makes %.2f ms, a copy flushed to disk as the save is %.2f ms: "
        "ratio %.2f (target 2)\n",
        roundTrip, flushed, flushed > 0 ? roundTrip / flushed : 0.0);
    std::printf("(a buffered copy without the flush: %.2f ms)\n", copy);
    const double file = counters_["file_bytes"], peak = counters_["peak_heap_bytes"];
    std::printf("peak heap %.0f bytes for a %.0f-byte file: %.2f times its size (target 4)\n", peak,
                file, file > 0 ? peak / file : 0.0);
  }

 private:
  std::map<std::string, double> seconds_;
  std::map<std::string, double> counters_;
};

}  // namespace

int main(int argc, char** argv) {
  const auto folder = MakeGameFolder();
  std::filesystem::current_path(folder);
  benchmark::Initialize(&argc, argv);
  SummaryReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  std::filesystem::current_path(std::filesystem::temp_directory_path());
  std::filesystem::remove_all(folder);
  return 0;
}
