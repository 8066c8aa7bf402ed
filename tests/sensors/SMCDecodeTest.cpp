// Which readings the decoders take: the exact type, a non-empty size, and a size read as signed.

#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>

#include "sensors/smc.h"

namespace {

SMCReading reading(const char (&type)[6], std::uint32_t dataSize,
                   std::initializer_list<std::uint8_t> bytes) {
  SMCReading made{};
  std::memcpy(made.dataType, type, sizeof made.dataType);
  made.dataSize = dataSize;
  std::copy(bytes.begin(), bytes.end(), made.bytes);
  return made;
}

TEST(SMCDecodeTest, OnlyNonEmptyReadingsOfExactlyTheRightTypeDecode) {
  const struct {
    const char (&type)[6];
    std::uint32_t size;
    double celsius;
    int rpm;
  } cases[] = {{"sp78\0", 2, 40.5, -1},        {"fpe2\0", 2, 0.0, 2592},
               {"sp78\0", 0, 0.0, -1},         {"fpe2\0", 0, 0.0, -1},
               {"SP78\0", 2, 0.0, -1},         {"FPE2\0", 2, 0.0, -1},
               {"sp7\0\0", 2, 0.0, -1},        {"fpe\0\0", 2, 0.0, -1},
               {"sp78x", 2, 0.0, -1},          {"\0\0\0\0\0", 2, 0.0, -1},
               // Only two bytes count for a temperature, whatever the size; a fan's size is
               // read as signed, so 2^31 and more give 0.
               {"sp78\0", 0x80000000u, 40.5, -1}, {"sp78\0", 0xffffffffu, 40.5, -1},
               {"fpe2\0", 0x80000000u, 0.0, 0}};
  for (const auto& c : cases) {
    const SMCReading made = reading(c.type, c.size, {0x28, 0x80});
    EXPECT_EQ(SMCDecodeTemperature(made), c.celsius) << c.type << " size " << c.size;
    EXPECT_EQ(SMCDecodeFanRpm(made), c.rpm) << c.type << " size " << c.size;
  }
}

}  // namespace
