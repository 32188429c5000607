#include "cli/catalogue_walk.h"

namespace tamlo::cli {
namespace {

// Groups inside groups have no catalogue level.
constexpr uint32_t kNoLevel = 0xFFFFFFFF;
// Deeper groups are not walked: every level costs a nested walk on the
// stack, and two bytes of a crafted file make a level.
constexpr int kMaxDepth = 16;

struct Level {
  uint32_t group;                 // catalogue level of the fields walked
  std::vector<ShownField>* out;   // nullptr: not listed
  FieldListing* listing;          // nullptr: nothing is listed
  int depth;
};

bool KindMatches(ParameterKind expected, FieldKind kind) {
  switch (expected) {
    case ParameterKind::Integer: return kind == kFieldInteger;
    case ParameterKind::Text: return kind == kFieldText;
    case ParameterKind::Group: return kind == kFieldGroup;
  }
  return false;
}

// Takes a field when the catalogue knows it on this level with this kind, as
// the settings pages would; a known group returns its nested walk's result.
// Unknown groups are still walked (and listed) with their content, but count
// as unrecognised like any other unknown field.
int Visit(uint32_t code, int32_t value, const uint8_t* data, size_t length, uint32_t repeat, void* user) {
  const Level& level = *static_cast<Level*>(user);
  ShownField field;
  field.id = FieldCodeId(code);
  field.kind = FieldCodeKind(code);
  field.value = value;
  field.repeat = repeat;
  const CatalogueParameter* p = level.group == kNoLevel ? nullptr : FindParameter(level.group, field.id);
  if (p && KindMatches(p->kind, field.kind)) field.parameter = p;
  const bool known = field.parameter != nullptr;

  ShownField* shown = nullptr;
  if (level.listing != nullptr) {
    ++level.listing->total;
    if (level.out != nullptr && level.listing->listed < kMaxListedFields) {
      ++level.listing->listed;
      if (data) field.bytes.assign(reinterpret_cast<const char*>(data), length);
      level.out->push_back(std::move(field));
      shown = &level.out->back();
    }
  }
  if (FieldCodeKind(code) != kFieldGroup) return known ? kWalkOk : kWalkUnrecognised;
  if (level.depth >= kMaxDepth) return kWalkUnrecognised;
  Level nested{level.group == 0 ? FieldCodeId(code) : kNoLevel, shown ? &shown->fields : nullptr, level.listing,
               level.depth + 1};
  const int result = WalkConfig(data, length, &Visit, &nested);
  return known ? result : kWalkUnrecognised;
}

}  // namespace

int WalkAgainstCatalogue(const uint8_t* data, size_t size, FieldListing* listing) {
  Level top{0, listing ? &listing->fields : nullptr, listing, 0};
  return WalkConfig(data, size, &Visit, &top);
}

}  // namespace tamlo::cli
