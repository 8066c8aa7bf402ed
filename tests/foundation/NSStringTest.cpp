#include "platform/foundation/NSString.h"

#include <gtest/gtest.h>

#include <string>

TEST(NSStringTest, FormatsAtAnyLength) {
  for (const std::size_t length : {255u, 256u, 10000u}) {
    const std::string text(length, 'x');
    EXPECT_EQ(stringWithFormat("[%s]", text.c_str()), "[" + text + "]") << length;
  }
}

// Login-item paths are compared this way (the delegate's tests cover accents and case).
TEST(NSStringTest, MarksMatchInEitherOrderAndTextThatIsNotUtf8ComparesByteForByte) {
  EXPECT_EQ(compare("a\u0302\u0323", "\u1ead"), NSOrderedSame);
  EXPECT_EQ(compare("/opt/caf\xe9", "/opt/caf\xe9"), NSOrderedSame);
  EXPECT_EQ(compare("/opt/caf\xe9", "/opt/cafe\u0301"), NSOrderedDescending);
}
