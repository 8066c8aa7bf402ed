#include <gtest/gtest.h>

#include <string>

#include "platform/foundation/NSString.h"

TEST(NSStringFormatTest, PrintsAsCDoesAtAnyLength) {
  EXPECT_EQ(stringWithFormat("%2.0f °C", 5.0), " 5 °C");
  EXPECT_EQ(stringWithFormat("%2.0f °C", -0.0), "-0 °C");
  EXPECT_EQ(stringWithFormat("%2.0f °F", 104.0), "104 °F");
  EXPECT_EQ(stringWithFormat("Fan 1: %ld RPM", -9223372036854775807L - 1),
            "Fan 1: -9223372036854775808 RPM");
  for (const std::size_t length : {255u, 256u, 10000u}) {
    const std::string text(length, 'x');
    EXPECT_EQ(stringWithFormat("[%s]", text.c_str()), "[" + text + "]") << length;
  }
}
