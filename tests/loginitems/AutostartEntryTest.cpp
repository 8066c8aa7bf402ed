#include "platform/loginitems/AutostartEntry.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

TEST(AutostartEntryTest, ProgramIsTheAbsoluteFirstArgumentOfAnEntryTheSessionStarts) {
  const std::string head = "[Desktop Entry]\nType=Application\n";
  const struct {
    std::string contents;
    std::optional<std::string> program;
    bool malformed;
  } cases[] = {
      {head + "Exec=\"/opt/My Apps/a\\\\\\\\b\" %U\n", "/opt/My Apps/a\\b", false},
      {head + "Exec=%i /opt/100%%/other --x\nHidden=yes\n", "/opt/100%/other", false},
      {head + "Exec=/opt/other\nHidden=true\n", std::nullopt, false},
      {head + "Exec=/opt/other\nX-GNOME-Autostart-enabled=false\n", std::nullopt, false},
      {head + "Exec=env A=1 /opt/other\n", std::nullopt, false},
      {"[Desktop Entry]\nType=Link\nExec=/opt/other\n", std::nullopt, false},
      {head + "Exec=\"/opt/other\n", std::nullopt, true},
      {head + "Exec=/opt/%f\n", std::nullopt, true},
      {"[Other]\nType=Application\nExec=/opt/other\n", std::nullopt, true},
  };
  for (const auto& entry : cases) {
    SCOPED_TRACE(entry.contents);
    const EntryProgram program = programOfEntry(entry.contents);
    EXPECT_EQ(program.path, entry.program);
    EXPECT_EQ(!program.malformed.empty(), entry.malformed) << program.malformed;
  }
}
