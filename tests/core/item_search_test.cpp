#include "core/item_search.h"

#include <gtest/gtest.h>

#include <tuple>

namespace trimlet {
namespace {

TEST(ItemSearch, ByNameAnywhereWhateverTheCaseOrByAnAddressInsideTheItem) {
  const RecordRange fuel{RangeProblem::None, 0x1A0, 0x20};  // bytes 1A0..1BF
  const RecordRange broken{RangeProblem::NotHexadecimal, 0, 0};
  const std::tuple<const char*, RecordRange, const char*, bool> cases[] = {
      {"Base Fuel", fuel, "fuel", true},           // any case, inside the name
      {"Base Fuel", fuel, " BASE ", true},         // blanks around do not count
      {"Base Fuel", fuel, "", true},               // nothing typed: every item
      {"Base Fuel", fuel, "1BF", true},            // the last byte
      {"Base Fuel", fuel, "1C0", false},           // one past it
      {"Base Fuel", fuel, "19F", false},           // one before it
      {"Base Fuel", fuel, "0x1a0", true},          // the first byte, with a prefix
      {"Base Fuel", fuel, "1B 0", false},          // not one hexadecimal number
      {"Base Fuel", broken, "0", false},           // an item without bytes has no address
      {"Fade", broken, "ad", true},                // hexadecimal, and in the name
      {"Fade", fuel, "fffffffffffffffff", false},  // beyond any address
  };
  for (const auto& [name, range, text, matches] : cases)
    EXPECT_EQ(itemMatches(name, range, text), matches) << name << " / " << text;
}

}  // namespace
}  // namespace trimlet
