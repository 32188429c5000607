#include "config/parameter_catalogue.h"

#include <gtest/gtest.h>

#include <set>
#include <utility>

namespace tamlo {
namespace {

// The console tool and the compatibility tests look parameters up by level
// and id: a duplicate or a parameter of an unknown group would hide entries.
TEST(ParameterCatalogue, LevelsAndIdsUnique_NestedOnlyInTopGroups_SettingsVersioned) {
  std::set<std::pair<uint32_t, uint32_t>> seen;
  for (const CatalogueParameter& p : ParameterCatalogue()) {
    SCOPED_TRACE(std::to_string(p.group) + "/" + std::to_string(p.id));
    EXPECT_TRUE(seen.insert({p.group, p.id}).second);
    EXPECT_EQ(FindParameter(p.group, p.id), &p);
    if (p.group != 0) {
      const CatalogueParameter* parent = FindParameter(0, p.group);
      ASSERT_NE(parent, nullptr);
      EXPECT_EQ(parent->kind, ParameterKind::Group);
    }
    for (const CatalogueSetting& s : p.settings) {
      if (!s.name) break;
      EXPECT_GT(s.min_version, 300u);
      EXPECT_LT(s.min_version, 400u);
    }
  }
  EXPECT_EQ(FindParameter(0, 6), nullptr);
  EXPECT_EQ(FindParameter(4, 5), nullptr);
  EXPECT_EQ(FindParameter(0, 265)->kind, ParameterKind::Text);
  EXPECT_EQ(FindParameter(2, 1)->settings[3].min_version, 308u);
}

}  // namespace
}  // namespace tamlo
