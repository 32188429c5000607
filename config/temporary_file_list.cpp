#include "config/temporary_file_list.h"

#include <atomic>
#include <cstring>

namespace tamlo {
namespace {

// A slot is free, being filled, or holds a complete name. A signal handler
// runs on the thread it interrupts, so it may find a slot half-filled: it
// only reads slots that are complete.
enum SlotState : int { kFree = 0, kFilling = 1, kListed = 2 };

struct Slot {
  std::atomic<int> state{kFree};
  char name[kTemporaryFileNameMax]{};
};

Slot g_slots[kTemporaryFileSlots];

static_assert(std::atomic<int>::is_always_lock_free, "the interrupt handler reads the slot states");

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

void ForEachTemporaryFile(void (*remove)(const char* path)) {
  for (Slot& slot : g_slots) {
    if (slot.state.load() == kListed) remove(slot.name);
  }
}

}  // namespace tamlo
