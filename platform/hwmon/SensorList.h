#pragma once
// What `pyrelle --list-sensors` prints: every temperature and fan input under its name as the
// settings take it (CHIP/LABEL), its value now, and which of them Pyrelle shows and why, the
// way the running program would choose them; then each chosen sensor that is not there.

#include <string>

#include "platform/hwmon/SensorChoice.h"
#include "platform/hwmon/SensorSource.h"

// The list over `source` and `choice`, ending with where to choose (`settingsPath`), or one line
// saying there are no inputs. Reads every input once.
std::string sensorListText(SensorSource& source, const SensorChoice& choice,
                           const std::string& settingsPath);

// Prints the list of the machine's sensors (libsensors, and the choice in the settings) on
// standard output, with where to choose. The exit status: 0, or 1 when libsensors cannot start
// (logged) or the list cannot be written.
int listHwmonSensors();
