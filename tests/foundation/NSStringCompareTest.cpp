#include "platform/foundation/NSString.h"

#include <gtest/gtest.h>

#include <string>

TEST(NSStringCompareTest, CanonicallyEquivalentFormsAreTheSameAndCaseCounts) {
  EXPECT_EQ(compare("/opt/Caf\u00e9/pyrelle", "/opt/Cafe\u0301/pyrelle"), NSOrderedSame);
  EXPECT_EQ(compare("a\u0302\u0323", "\u1ead"), NSOrderedSame);  // marks in either order
  EXPECT_EQ(compare("\uac00", "\u1100\u1161"), NSOrderedSame);   // Hangul syllable and jamo
  EXPECT_EQ(compare("/opt/Pyrelle", "/opt/pyrelle"), NSOrderedAscending);
  // Decomposed, "é" is "e" and a mark: after "e", before "f".
  EXPECT_EQ(compare("caf\u00e9", "cafe"), NSOrderedDescending);
  EXPECT_EQ(compare("caf\u00e9", "caff"), NSOrderedAscending);
}

TEST(NSStringCompareTest, InvalidUtf8ComparesByteForByte) {
  EXPECT_EQ(compare("/opt/caf\xe9", "/opt/caf\xe9"), NSOrderedSame);
  EXPECT_EQ(compare("/opt/caf\xe9", "/opt/cafe\u0301"), NSOrderedDescending);
  // Bytes past a NUL still count.
  EXPECT_EQ(compare(std::string("a\0b", 3), std::string("a\0c", 3)), NSOrderedAscending);
}
