#pragma once
// Where the user's own files live.

#include <string>

// The user's configuration directory: $XDG_CONFIG_HOME when it is an absolute path, else
// $HOME/.config. A relative XDG_CONFIG_HOME is ignored, as the XDG base directory rules
// require, with one log line per run.
std::string userConfigDirectory();
