#pragma once
// Overwrites memory that held a secret (an encryption key on its way to the
// device) with zeros in a way the compiler may not drop as a dead store, so
// the key does not linger in buffers that live for the whole run.
#include <cstddef>
#include <string>

namespace tamlo::link {

void SecureWipe(void* data, size_t size);

// The characters of `text` (its whole capacity), then the text is emptied.
void SecureWipe(std::string& text);

}  // namespace tamlo::link
