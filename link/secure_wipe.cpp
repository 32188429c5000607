#include "link/secure_wipe.h"

namespace tamlo::link {

void SecureWipe(void* data, size_t size) {
  // Stores through a volatile pointer are observable behaviour: they stay
  // even though nothing reads the bytes afterwards.
  volatile unsigned char* p = static_cast<volatile unsigned char*>(data);
  for (size_t i = 0; i < size; ++i) p[i] = 0;
}

void SecureWipe(std::string& text) {
  // Past the size too: a shorter text typed before may have left its tail.
  text.resize(text.capacity());
  SecureWipe(text.data(), text.size());
  text.clear();
}

}  // namespace tamlo::link
