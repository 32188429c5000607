#include "config/tagged_encoding.h"

#include <gtest/gtest.h>

#include "config/config_tree.h"
#include "test_pages.h"

namespace tamlo {
namespace {

using testing::Hex;

struct Visit {
  uint32_t id;
  int kind;
  int32_t value;
  std::vector<uint8_t> bytes;
  uint32_t repeat;
  bool operator==(const Visit&) const = default;
};

// Walks a copy of exactly `bytes.size()` bytes on the heap, so a read past the
// end trips the address sanitizer. Every field is taken unless `answer` says.
int WalkAll(const std::vector<uint8_t>& bytes, std::vector<Visit>& visits,
            std::function<int(size_t)> answer = nullptr) {
  auto copy = std::make_unique<uint8_t[]>(bytes.size());
  std::copy(bytes.begin(), bytes.end(), copy.get());
  return WalkConfig(copy.get(), bytes.size(), [&](uint32_t code, int32_t v, const uint8_t* d, size_t n, uint32_t r) {
    visits.push_back({FieldCodeId(code), static_cast<int>(FieldCodeKind(code)), v,
                      d ? std::vector<uint8_t>(d, d + n) : std::vector<uint8_t>(), r});
    return answer ? answer(visits.size() - 1) : 1;
  });
}

ConfigTree WorkedExampleTree(bool empty_first_sim) {
  ConfigTree tree;
  if (empty_first_sim) tree.PutGroup(1, ConfigTree());
  ConfigTree sim;
  sim.PutString(1, "abc");
  tree.PutGroup(1, std::move(sim));
  tree.PutInt(258, 2);
  tree.PutInt(257, 4660);
  return tree;
}

TEST(EncodeConfig, WorkedExample_ByteForByte) {
  EXPECT_EQ(EncodeConfig(WorkedExampleTree(false)),
            Hex({0x15, 0x06, 0x14, 0x04, 0x61, 0x62, 0x63, 0x00, 0x90, 0x20, 0xB4, 0x24, 0xA0, 0x20, 0x02}));
  EXPECT_EQ(EncodeConfig(WorkedExampleTree(true)),
            Hex({0x15, 0x00, 0x15, 0x06, 0x14, 0x04, 0x61, 0x62, 0x63, 0x00, 0x90, 0x20, 0xB4, 0x24, 0xA0, 0x20,
                 0x02}));
  ConfigTree negative;
  negative.PutInt(6, -5);
  EXPECT_EQ(EncodeConfig(negative), Hex({0x61, 0x05}));
  EXPECT_TRUE(EncodeConfig(ConfigTree()).empty());
}

TEST(EncodeConfig, EmptyGroups_WrittenOnlyBeforeANonEmptyOneOfTheirId) {
  ConfigTree tree;
  for (int i = 0; i < 6; ++i) {
    ConfigTree dir;
    if (i == 2) dir.PutInt(1, 3);
    tree.PutGroup(2, std::move(dir));
  }
  // A group made only of empty groups is empty itself.
  ConfigTree only_empty;
  only_empty.PutGroup(1, ConfigTree());
  only_empty.PutGroup(1, ConfigTree());
  tree.PutGroup(3, std::move(only_empty));
  // A single empty group of another id leaves nothing, and pending empties of
  // id 2 do not leak into id 4.
  tree.PutGroup(4, ConfigTree());
  ConfigTree input;
  input.PutInt(3, 1);
  tree.PutGroup(4, std::move(input));

  const auto bytes = EncodeConfig(tree);
  EXPECT_EQ(bytes, Hex({0x25, 0x00, 0x25, 0x00, 0x25, 0x02, 0x10, 0x03, 0x45, 0x00, 0x45, 0x02, 0x30, 0x01}));
  std::vector<Visit> visits;
  EXPECT_EQ(WalkAll(bytes, visits), 1);
  ASSERT_EQ(visits.size(), 5u);
  EXPECT_EQ(visits[2].repeat, 2u);
  EXPECT_EQ(visits[2].bytes, Hex({0x10, 0x03}));
  EXPECT_EQ(visits[4].repeat, 1u);
}

TEST(EncodeConfig, RoundTrip_EveryTypeArrivesWithItsKindAndValue) {
  ConfigTree tree;
  tree.PutInt(2, 7);
  tree.PutInt(2, -300);
  tree.PutInt(2, INT32_MIN);
  tree.PutInt(3, 2097152);
  tree.PutString(9, "ab");
  tree.PutString(9, "");
  const auto bytes = EncodeConfig(tree);
  std::vector<Visit> visits;
  EXPECT_EQ(WalkAll(bytes, visits), 1);
  EXPECT_EQ(visits, (std::vector<Visit>{{2, 0, 7, {}, 0},
                                        {2, 0, -300, {}, 1},
                                        {2, 0, INT32_MIN, {}, 2},
                                        {3, 0, 2097152, {}, 0},
                                        {9, 1, 0, Hex({'a', 'b', 0}), 0},
                                        {9, 1, 0, Hex({0}), 1}}));
}

TEST(WalkConfig, FieldKindsAndCodes) {
  std::vector<Visit> visits;
  // Byte strings of length 0, "ab\0" and "ab"; a type 3 of -2; code = id*4+kind.
  EXPECT_EQ(WalkAll(Hex({0x14, 0x00, 0x24, 0x03, 'a', 'b', 0, 0x34, 0x02, 'a', 'b', 0x43, 0xFE, 0xFF, 0xFF, 0xFF,
                         0xFF, 0xFF, 0xFF, 0xFF}),
                    visits),
            1);
  EXPECT_EQ(visits, (std::vector<Visit>{{1, 2, 0, {}, 0},
                                        {2, 1, 0, Hex({'a', 'b', 0}), 0},
                                        {3, 2, 0, Hex({'a', 'b'}), 0},
                                        {4, 0, -2, {}, 0}}));
  uint32_t code = 0;
  const auto group = Hex({0x25, 0x00});
  WalkConfig(group.data(), group.size(), [&](uint32_t c, int32_t, const uint8_t*, size_t, uint32_t) {
    code = c;
    return 1;
  });
  EXPECT_EQ(code, 11u);
  EXPECT_EQ(FieldCode(257, kFieldInteger), 1028u);
  EXPECT_EQ(FieldCode(265, kFieldText), 1061u);
}

TEST(WalkConfig, RepeatIndexes_CountEqualIdsOnOneLevel) {
  std::vector<Visit> visits;
  EXPECT_EQ(WalkAll(Hex({0x20, 0x01, 0x20, 0x02, 0x20, 0x03, 0x30, 0x04}), visits), 1);
  std::vector<uint32_t> repeats;
  for (const Visit& v : visits) repeats.push_back(v.repeat);
  EXPECT_EQ(repeats, (std::vector<uint32_t>{0, 1, 2, 0}));
}

TEST(WalkConfig, Results_AllTakenUnrecognisedMalformedUnknownCoding) {
  std::vector<Visit> visits;
  EXPECT_EQ(WalkAll({}, visits), 1);
  EXPECT_TRUE(visits.empty());

  const auto three = Hex({0x10, 0x01, 0x20, 0x02, 0x30, 0x03});
  EXPECT_EQ(WalkAll(three, visits, [](size_t i) { return i == 0 ? 0 : 1; }), 0);
  visits.clear();
  // The last result other than 1 wins, and the walk goes on after it.
  EXPECT_EQ(WalkAll(three, visits, [](size_t i) { return i == 0 ? -1 : i == 1 ? 0 : 1; }), 0);
  EXPECT_EQ(visits.size(), 3u);
  visits.clear();
  EXPECT_EQ(WalkAll(three, visits, [](size_t i) { return i == 1 ? -2 : 1; }), -2);

  visits.clear();
  EXPECT_EQ(WalkAll(Hex({0x08}), visits), -2);  // bit 3 of the key
  EXPECT_TRUE(visits.empty());

  visits.clear();
  EXPECT_EQ(WalkAll(Hex({0x50, 0x01, 0x40, 0x01}), visits), -1);  // id 5 then 4
  ASSERT_EQ(visits.size(), 1u);
  EXPECT_EQ(visits[0].id, 5u);

  for (int type : {6, 7}) {
    visits.clear();
    EXPECT_EQ(WalkAll(Hex({0x10 | type, 0x00}), visits), -1);
  }
  visits.clear();
  EXPECT_EQ(WalkAll(Hex({0x13, 0, 0, 0, 0, 1, 0, 0, 0}), visits), -1);  // 64-bit out of range
  EXPECT_TRUE(visits.empty());
}

TEST(WalkConfig, VarintsUpTo28BitsRead_LongerOnesRefused) {
  std::vector<Visit> visits;
  EXPECT_EQ(WalkAll(Hex({0xFF, 0xFF, 0xFF, 0xFF, 0x01}), visits), -1);  // needs a fifth byte
  EXPECT_EQ(WalkAll(Hex({0x10, 0xFF, 0xFF, 0xFF, 0x7F}), visits), 1);
  EXPECT_EQ(visits.back().value, (1 << 28) - 1);
  EXPECT_EQ(WalkAll(Hex({0x10, 0x80, 0x00}), visits), 1);  // redundant zero group
  EXPECT_EQ(visits.back().value, 0);
  EXPECT_EQ(WalkAll(Hex({0x11, 0xFF, 0xFF, 0xFF, 0x7F}), visits), 1);
  EXPECT_EQ(visits.back().value, -((1 << 28) - 1));
  // Written values of 2^28 and above take five bytes and do not read back.
  std::vector<uint8_t> big = {0x10};
  AppendVarint(big, 1u << 28);
  EXPECT_EQ(big.size(), 6u);
  EXPECT_EQ(WalkAll(big, visits), -1);
}

TEST(WalkConfig, TruncatedInput_NeverReadsPastTheEnd) {
  // Every prefix that cuts a field fails with -1; a prefix on a field
  // boundary walks cleanly. The heap copy makes any overread an ASan error.
  const auto full = Hex({0x15, 0x06, 0x14, 0x04, 0x61, 0x62, 0x63, 0x00, 0x90, 0x20, 0xB4, 0x24, 0xA2, 0x20, 0x01,
                         0x02, 0x03, 0x04, 0xB3, 0x20, 1, 2, 3, 4, 0, 0, 0, 0, 0xC1, 0x20, 0x85, 0x01});
  const std::set<size_t> boundaries = {0, 8, 12, 18, 28, 32};
  for (size_t n = 0; n <= full.size(); ++n) {
    SCOPED_TRACE(n);
    std::vector<Visit> visits;
    const std::vector<uint8_t> prefix(full.begin(), full.begin() + static_cast<long>(n));
    EXPECT_EQ(WalkAll(prefix, visits), boundaries.count(n) ? 1 : -1);
  }
  // A group whose length runs past the end, and one nested walk over a group
  // whose own content is cut short.
  std::vector<Visit> visits;
  EXPECT_EQ(WalkAll(Hex({0x15, 0x05, 0x10, 0x01}), visits), -1);
  EXPECT_EQ(WalkAll(Hex({0x12, 0x01, 0x02, 0x03}), visits), -1);
}

}  // namespace
}  // namespace tamlo
