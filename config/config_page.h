#pragma once
// The contract between a settings page and the configuration model. The
// configuration lives in the pages' controls; an image build asks each page to
// put its parameters into a fresh tree, and a load resets every page and then
// offers each walked field to the pages in order.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace tamlo {

class ConfigTree;

class ConfigPage {
 public:
  virtual ~ConfigPage() = default;

  // Every control back to its default, dependent visibility updated.
  virtual void ResetToDefaults() = 0;

  // The visitor side of the page. kind: 0 integer (value), 1 zero-terminated
  // text, 2 raw bytes, 3 group (data/length inside the walked buffer, valid
  // during the call). Returns 1 when the page took the field, 0 when it is not
  // the page's or cannot be shown, or a nested walk's negative result.
  virtual int LoadFromConfig(int kind, uint32_t id, int32_t value, const uint8_t* data, size_t length,
                             uint32_t repeat) = 0;

  // Puts the page's parameters (only those that differ from their defaults).
  virtual void StoreToConfig(ConfigTree& tree) = 0;

  // Called on every top-level page after a load, whatever its result (the
  // periodic tests page rebuilds its label of directions here).
  virtual void AfterLoad() {}
};

// The pages in the order the model uses them. `top` is the store and load
// order (general settings, periodic tests, delivery directions, delivery
// options, remote access, LAN extender); the input pages L1..L4 are reset after
// them and reached through the general settings page otherwise.
struct PageSet {
  std::vector<ConfigPage*> top;
  std::vector<ConfigPage*> inputs;
};

}  // namespace tamlo
