// Which readings the decoders take: the exact type, a non-empty size, and a size read as signed.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "sensors/smc.h"

namespace {

// Only two bytes count for a temperature, whatever the size; a fan's size is read as signed,
// so 2^31 and more give 0.
TEST(SMCDecodeTest, OnlyNonEmptyReadingsOfExactlyTheRightTypeDecode) {
  constexpr std::uint32_t twoTo31 = 0x80000000u, largest = 0xffffffffu;
  const struct {
    const char* type;
    std::uint32_t size;
    double celsius;
    int rpm;
  } cases[] = {{"sp78", 2, 40.5, -1},       {"fpe2", 2, 0.0, 2592},   {"sp78", 0, 0.0, -1},
               {"fpe2", 0, 0.0, -1},        {"SP78", 2, 0.0, -1},     {"sp7", 2, 0.0, -1},
               {"fpe", 2, 0.0, -1},         {"sp78x", 2, 0.0, -1},    {"sp78", twoTo31, 40.5, -1},
               {"sp78", largest, 40.5, -1}, {"fpe2", twoTo31, 0.0, 0}};
  for (const auto& c : cases) {
    // At most five type characters: "sp78x" fills the field with no terminator.
    SMCReading made{{}, c.size, {}, {0x28, 0x80}};
    std::memcpy(made.dataType, c.type, std::min(std::strlen(c.type), sizeof made.dataType));
    EXPECT_EQ(SMCDecodeTemperature(made), c.celsius) << c.type << " size " << c.size;
    EXPECT_EQ(SMCDecodeFanRpm(made), c.rpm) << c.type << " size " << c.size;
  }
}

}  // namespace
