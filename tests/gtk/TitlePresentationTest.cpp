#include "platform/gtk/TitlePresentation.h"

#include <gtest/gtest.h>

namespace {

TEST(TitlePresentationTest, LabelOnlyWhereARegisteredItemsPanelShowsLabels) {
  // XDG_CURRENT_DESKTOP is a list; any desktop in it that shows labels will do, in any case.
  EXPECT_EQ(titlePresentation(true, "GNOME"), TitlePresentation::Label);
  EXPECT_EQ(titlePresentation(true, "ubuntu:GNOME"), TitlePresentation::Label);
  EXPECT_EQ(titlePresentation(true, "Budgie:GNOME"), TitlePresentation::Label);
  EXPECT_EQ(titlePresentation(true, "mate"), TitlePresentation::Label);

  EXPECT_EQ(titlePresentation(true, "KDE"), TitlePresentation::Icon);
  EXPECT_EQ(titlePresentation(true, "XFCE"), TitlePresentation::Icon);
  EXPECT_EQ(titlePresentation(true, "GNOME-Classic"), TitlePresentation::Icon);
  EXPECT_EQ(titlePresentation(true, "GNOM"), TitlePresentation::Icon);
  EXPECT_EQ(titlePresentation(true, ""), TitlePresentation::Icon);
  EXPECT_EQ(titlePresentation(true, ":"), TitlePresentation::Icon);

  // The fallback tray icon never shows a label.
  EXPECT_EQ(titlePresentation(false, "GNOME"), TitlePresentation::Icon);
}

}  // namespace
