// Journal export benchmark: generates a journal of SIZE bytes cycling
// through every entry kind (queued and processed records of every internal
// event, Contact ID with and without a description, autotest, unknown
// formats, invalid and unrecognised entries, bad record sizes), exports it
// through the same path as the configurator (temporary file, HTML or text)
// and prints the best wall and processor time of REPEAT runs (MiB/s: journal
// bytes per processor second) and the process's peak memory.
//
// usage: journal_bench SIZE_KIB [html|text] [REPEAT]
// Run each size in its own process so the peak memory belongs to one size.
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <cstdint>
#include <utility>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "config/system_file_system.h"
#include "device/journal/journal_export.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using tamlo::journal::EventCodeList;

// Appends one entry unless it would pass `limit`; false when it stopped.
bool Append(std::string& out, std::uint8_t kind, const Bytes& payload, std::size_t limit = SIZE_MAX) {
  if (out.size() + 3 + payload.size() > limit) return false;
  out += static_cast<char>(kind);
  out += static_cast<char>(payload.size() & 0xFF);
  out += static_cast<char>(payload.size() >> 8);
  out.append(payload.begin(), payload.end());
  return true;
}

Bytes Record(std::uint32_t time, std::uint8_t direction, std::uint8_t source, std::uint8_t format, const Bytes& data,
             std::size_t trailing = 0) {
  Bytes p;
  for (std::uint32_t v : {time, time + 5})
    for (int i = 0; i < 4; ++i) p.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
  p.insert(p.end(), {direction, source, format, static_cast<std::uint8_t>(data.size())});
  p.insert(p.end(), data.begin(), data.end());
  p.insert(p.end(), trailing, 0x5A);
  return p;
}

std::string GenerateJournal(std::size_t size) {
  const std::vector<Bytes> internal = {
      {0},          {1, 0x48, 0xAA, 0xF8, 0x05}, {1}, {2}, {3}, {4, 0x81}, {5, 0x00, 0x12}, {5, 0xFF, 0x9F},
      {6, 0x10, 0x0E, 0, 0}, {7, 0x81, '+', '7', '9', '0', '1', '2', '3', '4', '5', '6', '7', '<', '&'},
      {8, 0x81},    {16, 0}, {17, 1}, {18}, {1, 2, 3},
  };
  std::string out;
  out.reserve(size);
  std::uint32_t time = 100000000;
  for (unsigned i = 0;; ++i, time += 17) {
    const std::uint8_t kind = i % 2;
    std::vector<std::pair<std::uint8_t, Bytes>> cycle;
    for (const Bytes& d : internal) cycle.emplace_back(kind, Record(time, 0xFF, 16, 0, d));
    cycle.emplace_back(kind, Record(time, 0x02, i % 4, 1, {0x12, 0x34, 0x11, 0x30, 0x01, 0x00, 0x50}));
    cycle.emplace_back(kind, Record(time, 0x9F, 17, 1, {0x12, 0x34, 0x31, 0x30, 0x01, 0x00, 0x50}));
    cycle.emplace_back(kind, Record(time, 0xFE, 0, 1, {0x12, 0x34, 0x11, 0x37, 0x01, 0x00, 0x30}));  // 137
    cycle.emplace_back(kind, Record(time, 0xA3, 5, 1, {0x12, 0x34}));
    cycle.emplace_back(kind, Record(time, 0x41, 16, 2, {}, 6));
    cycle.emplace_back(kind, Record(0xFFFFFFFF, 0x81, 9, 7, {1, 2, 3, 4}, 2));
    cycle.emplace_back(3, Bytes(20, 0));
    cycle.emplace_back(4, Bytes(8, 0));
    cycle.emplace_back(1, Bytes(5, 0));  // too short for a record
    for (const auto& [entry_kind, payload] : cycle)
      if (!Append(out, entry_kind, payload, size)) return out;  // whole entries only
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: journal_bench SIZE_KIB [html|text] [REPEAT]\n");
    return 2;
  }
  const std::size_t size = std::strtoul(argv[1], nullptr, 10) * 1024;
  const bool html = argc < 3 || std::string(argv[2]) != "text";
  const int repeat = argc > 3 ? std::atoi(argv[3]) : 5;

  const std::filesystem::path bin = std::filesystem::read_symlink("/proc/self/exe").parent_path();
  EventCodeList codes = tamlo::journal::LoadProgramEventCodeList(tamlo::SystemFileSystem(), bin);
  if (codes.empty()) codes = tamlo::journal::LoadEventCodeList(tamlo::SystemFileSystem(), bin.parent_path() / "bin");
  const std::string journal = GenerateJournal(size);
  const std::filesystem::path out =
      std::filesystem::temp_directory_path() / (html ? "tamlo_journal_bench.htm" : "tamlo_journal_bench.txt");

  class Quiet : public tamlo::journal::JournalErrors {
   public:
    void ReportError(std::string_view) override { ++count; }
    long count = 0;
  } errors;

  // Wall time and processor time (less disturbed by other processes on a
  // busy machine); the best of the runs of each.
  double best = 1e9;
  double best_cpu = 1e9;
  int result = 0;
  for (int r = 0; r < repeat; ++r) {
    const std::clock_t cpu_start = std::clock();
    const auto start = std::chrono::steady_clock::now();
    result = tamlo::journal::ExportJournal(
        out.string(),
        [&journal](std::string& bytes) {
          bytes = journal;
          return 0;
        },
        codes, errors, tamlo::SystemFileSystem());
    const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
    best = std::min(best, took.count());
    best_cpu = std::min(best_cpu, 1000.0 * static_cast<double>(std::clock() - cpu_start) / CLOCKS_PER_SEC);
  }
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  const auto written = std::filesystem::file_size(out);
  std::filesystem::remove(out);
  std::printf("journal %zu bytes, %s, %zu code lines: best of %d %.1f ms (cpu %.1f ms, %.1f MiB/s), output %ju bytes, "
              "result %d, %ld record errors per run, peak RSS %ld KiB\n",
              journal.size(), html ? "html" : "text", codes.size(), repeat, best, best_cpu,
              static_cast<double>(journal.size()) / (1024.0 * 1024.0) / (best_cpu / 1000.0),
              static_cast<std::uintmax_t>(written), result, errors.count / repeat, usage.ru_maxrss);
  return 0;
}
