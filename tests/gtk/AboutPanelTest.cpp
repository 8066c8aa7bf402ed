#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <string>

#include "GtkTestSupport.h"
#include "platform/gtk/AboutPanel.h"

namespace {

using AboutPanelTest = GtkViewTest;

TEST_F(AboutPanelTest, ShowsTheBundlesNameVersionAndDescription) {
  backend->orderFrontStandardAboutPanel();
  GtkAboutDialog* dialog = backend->aboutPanelForTesting()->dialog();
  ASSERT_NE(dialog, nullptr);
  EXPECT_TRUE(gtk_widget_get_visible(GTK_WIDGET(dialog)));
  EXPECT_STREQ(gtk_about_dialog_get_program_name(dialog), "Pyrelle");
  EXPECT_STREQ(gtk_about_dialog_get_version(dialog), PYRELLE_VERSION);
  EXPECT_NE(std::string(gtk_about_dialog_get_copyright(dialog)).find("Copyright ©"),
            std::string::npos);
  EXPECT_GT(std::string(gtk_about_dialog_get_comments(dialog)).size(), 10u);
  EXPECT_NE(gtk_about_dialog_get_logo(dialog), nullptr);

  // Closed, it comes back as the same dialog.
  gtk_dialog_response(GTK_DIALOG(dialog), GTK_RESPONSE_DELETE_EVENT);
  EXPECT_FALSE(gtk_widget_get_visible(GTK_WIDGET(dialog)));
  backend->orderFrontStandardAboutPanel();
  EXPECT_EQ(backend->aboutPanelForTesting()->dialog(), dialog);
  EXPECT_TRUE(gtk_widget_get_visible(GTK_WIDGET(dialog)));
}

}  // namespace
