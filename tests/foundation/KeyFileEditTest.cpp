#include "platform/foundation/KeyFileEdit.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

// Each edit sets refreshinterval=7 in [Pyrelle]; nothing else may move.
TEST(KeyFileEditTest, OneLineChangesOrIsAddedWhereGKeyFileWouldReadIt) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"", "[Pyrelle]\nrefreshinterval=7\n"},
      {"# mine", "# mine\n\n[Pyrelle]\nrefreshinterval=7\n"},
      {"[Pyrelle]\n\trefreshinterval =  5 # x\r\n", "[Pyrelle]\n\trefreshinterval =  7\r\n"},
      {"[Pyrelle]\nrefreshinterval=1\nrefreshinterval=2\n",
       "[Pyrelle]\nrefreshinterval=1\nrefreshinterval=7\n"},
      // Another group's key, a longer key and a translation are other keys.
      {"[Panel]\nrefreshinterval=1\n[Pyrelle]\nrefreshintervals=2\nrefreshinterval[de]=3\n",
       "[Panel]\nrefreshinterval=1\n[Pyrelle]\nrefreshintervals=2\nrefreshinterval[de]=3\n"
       "refreshinterval=7\n"},
      {"[Pyrelle]\nfarenheit=true\n\n# panel\n[Panel]\n",
       "[Pyrelle]\nfarenheit=true\nrefreshinterval=7\n\n# panel\n[Panel]\n"},
      {"[Pyrelle]  \n# only a comment", "[Pyrelle]  \nrefreshinterval=7\n# only a comment"},
      {"[Pyrelle]\nfarenheit=true", "[Pyrelle]\nfarenheit=true\nrefreshinterval=7\n"},
      {"[Pyrelle]\nrefreshinterval=", "[Pyrelle]\nrefreshinterval=7"},
      // A "\r" ending the file is part of the value: a "\n" after it alone would drop it.
      {"[Pyrelle]\nfarenheit=true\r", "[Pyrelle]\nfarenheit=true\r\r\nrefreshinterval=7\n"},
      // GKeyFile passes over stray UTF-8 continuation bytes after a header's "]".
      {"[Panel]\n[Pyrelle]\x8a", "[Panel]\n[Pyrelle]\x8a\nrefreshinterval=7\n"},
  };
  for (const auto& [before, after] : cases) {
    EXPECT_EQ(withKeyValue(before, "Pyrelle", "refreshinterval", "7"), after) << before;
  }
}
