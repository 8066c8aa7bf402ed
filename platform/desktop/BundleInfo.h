#pragma once
// The bundle's descriptive information, compiled into the program from resources/Info.ini.in.

#include <string>

struct BundleInfo {
  std::string name;
  std::string version;
  std::string copyright;
  std::string description;
  // An SPDX licence identifier, such as "MIT".
  std::string license;
};

// Reads it from the program's resources (registered beforehand); fields that cannot be read are
// empty, with a log line.
BundleInfo loadBundleInfo();
