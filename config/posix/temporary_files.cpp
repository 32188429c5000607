#include "config/posix/temporary_files.h"

#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cstring>

namespace tamlo {
namespace {

// A slot is free, being filled, or holds a complete name. The handler runs on
// the thread it interrupts, so it may find a slot half-filled: it only reads
// slots that are complete.
enum SlotState : int { kFree = 0, kFilling = 1, kListed = 2 };

struct Slot {
  std::atomic<int> state{kFree};
  char name[kTemporaryFileNameMax]{};
};

Slot g_slots[kTemporaryFileSlots];

static_assert(std::atomic<int>::is_always_lock_free, "the signal handler reads the slot states");

void RemoveAndRaise(int signal_number) {
  RemoveTemporaryFilesNow();
  struct sigaction fallback {};
  fallback.sa_handler = SIG_DFL;
  sigemptyset(&fallback.sa_mask);
  sigaction(signal_number, &fallback, nullptr);
  raise(signal_number);  // delivered when the handler returns: the signal is blocked while it runs
}

}  // namespace

int ListTemporaryFile(const char* path) {
  const size_t length = std::strlen(path);
  if (length >= kTemporaryFileNameMax) return -1;
  for (int i = 0; i < kTemporaryFileSlots; ++i) {
    int expected = kFree;
    if (!g_slots[i].state.compare_exchange_strong(expected, kFilling)) continue;
    std::memcpy(g_slots[i].name, path, length + 1);
    g_slots[i].state.store(kListed);
    return i;
  }
  return -1;
}

void ForgetTemporaryFile(int slot) {
  if (slot < 0 || slot >= kTemporaryFileSlots) return;
  g_slots[slot].state.store(kFree);
}

void RemoveTemporaryFilesNow() {
  for (Slot& slot : g_slots) {
    if (slot.state.load() == kListed) ::unlink(slot.name);
  }
}

void InstallTemporaryFileCleanup() {
  struct sigaction action {};
  action.sa_handler = RemoveAndRaise;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
}

}  // namespace tamlo
