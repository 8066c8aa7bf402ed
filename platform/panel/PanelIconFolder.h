#pragma once
// The folder named as the item's IconThemePath, "<user runtime dir>/pyrelle": hosts look there
// for the item's IconName before their theme. It holds the program's own copies of its icons
// where Pyrelle is not installed, and the drawn title for hosts that take it as a named icon.

#include <string>
#include <vector>

// The thermometer beside the label, by its name in the theme: the symbolic variant, which panels
// paint in their text colour so that it reads on light and dark panels alike.
inline constexpr const char* thermometerIconName = "io.github.pyrelle.Pyrelle-symbolic";
// The application's full-colour icon, for hosts that cannot draw symbolic icons from a folder.
inline constexpr const char* applicationIconName = "io.github.pyrelle.Pyrelle";

class PanelIconFolder {
 public:
  // Makes the folder and writes there each icon that no data directory's hicolor theme holds
  // (the same files every run, replaced whole); the drawings an earlier run left for item
  // `itemNumber` go. Logged when it cannot: path() is then "".
  explicit PanelIconFolder(unsigned itemNumber);
  // Removes the title drawings it wrote.
  ~PanelIconFolder();
  PanelIconFolder(const PanelIconFolder&) = delete;
  PanelIconFolder& operator=(const PanelIconFolder&) = delete;

  const std::string& path() const { return folder; }

  // Writes `svg` as an icon and returns its name, the same for the same drawing. The drawing
  // before it stays for hosts still loading it; older ones go. "" (logged once) when it cannot.
  std::string addDrawing(const std::string& svg);

 private:
  std::string folder;
  std::string drawingPrefix;
  std::vector<std::string> drawings;  // file names, oldest first
  bool failureLogged = false;
};
