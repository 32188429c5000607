#pragma once
// Every parameter a configuration can hold: its id on its level (the top
// level, or inside one group), how it is put, what it means, and the setting
// names with the minimal firmware versions that a put of it records. The
// console tool prints the meanings; tests check pages against it.
#include <cstdint>
#include <span>

namespace tamlo {

enum class ParameterKind { Integer, Text, Group };

struct CatalogueSetting {
  const char* name = nullptr;  // UTF-8 display text handed to NoteSetting; nullptr ends the list
  uint32_t min_version = 0;
  const char* when = nullptr;  // the values for which this name is recorded ("" = always)
};

struct CatalogueParameter {
  uint32_t group = 0;  // id of the enclosing top-level group, 0 for the top level
  uint32_t id = 0;
  ParameterKind kind = ParameterKind::Integer;
  uint32_t max_repeat = 1;  // how many times it may stand on its level (0 = one per list row)
  const char* meaning = "";  // English, with the condition under which it is put
  CatalogueSetting settings[4] = {};
};

std::span<const CatalogueParameter> ParameterCatalogue();

// nullptr when the level has no such parameter.
const CatalogueParameter* FindParameter(uint32_t group, uint32_t id);

const char* ParameterKindName(ParameterKind kind);  // "int", "text", "group"

}  // namespace tamlo
