// Configuration store benchmark: fills the remote access list with rows
// (a phone and a note each) until the encoded configuration reaches SIZE,
// then builds the configuration image from all pages, as Save, "Записать"
// and "Сравнить с прибором" do, and prints the best wall and processor time
// of REPEAT builds and the process's peak memory.
//
// usage: store_bench SIZE_KIB [REPEAT]
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

#include "config/config_image.h"
#include "pages/settings_pages.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: store_bench SIZE_KIB [REPEAT]\n");
    return 2;
  }
  const std::size_t size = std::strtoul(argv[1], nullptr, 10) * 1024;
  const int repeat = argc > 2 ? std::atoi(argv[2]) : 5;

  tamlo::SettingsPages pages(tamlo::SilentPageDialogs());
  tamlo::RemoteAccessModel& remote = pages.Remote();
  remote.SetEnableAcs(true);
  // A phone of 12 digits and a Cyrillic note: about 38 bytes a row once
  // encoded (two keys, the texts in code page 1251 with their zeros).
  const std::size_t rows = size / 38;
  for (std::size_t i = 0; i < rows; ++i) {
    remote.InsertRow(remote.RowCount());
    remote.SetPhone(i, "+7" + std::to_string(9010000000 + i));
    remote.SetNote(i, "Охрана объекта " + std::to_string(i));
  }

  double best = 1e9;
  double best_cpu = 1e9;
  std::size_t image_size = 0;
  for (int r = 0; r < repeat; ++r) {
    const std::clock_t cpu_start = std::clock();
    const auto start = std::chrono::steady_clock::now();
    image_size = tamlo::BuildConfigImage(pages.Set()).size();
    const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
    best = std::min(best, took.count());
    best_cpu = std::min(best_cpu, 1000.0 * static_cast<double>(std::clock() - cpu_start) / CLOCKS_PER_SEC);
  }
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  std::printf("store %zu phone rows, image %zu bytes: best of %d %.1f ms (cpu %.1f ms), peak RSS %ld KiB\n", rows,
              image_size, repeat, best, best_cpu, usage.ru_maxrss);
  return 0;
}
