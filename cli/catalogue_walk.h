#pragma once
// An encoded configuration walked the way the settings pages take it: a
// field is recognised when the parameter catalogue knows its id on its level
// with that kind; a known top-level group is walked in turn with the group's
// own level. `show` lists what the walk met; `config-write` only needs its
// result, to refuse what loading would refuse.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "config/parameter_catalogue.h"
#include "config/tagged_encoding.h"

namespace tamlo::cli {

struct ShownField {
  uint32_t id = 0;
  uint32_t repeat = 0;
  FieldKind kind = kFieldInteger;
  int32_t value = 0;
  std::string bytes;
  const CatalogueParameter* parameter = nullptr;  // nullptr: unknown here
  std::vector<ShownField> fields;
};

// The fields as a tree, at most kMaxListedFields of them: a crafted 1 MiB
// file may hold half a million one-byte fields, and each listed field costs
// far more memory than its bytes. `total` counts every field the walk met.
inline constexpr size_t kMaxListedFields = 10000;
struct FieldListing {
  std::vector<ShownField> fields;
  size_t listed = 0;
  size_t total = 0;
};

// WalkConfig's result over the whole data (kWalkOk, kWalkUnrecognised or a
// negative code); the fields met before a fault are in `listing` when one is
// given.
int WalkAgainstCatalogue(const uint8_t* data, size_t size, FieldListing* listing);

}  // namespace tamlo::cli
