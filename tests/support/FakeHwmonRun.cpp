// Runs a program on a fake hwmon tree, so that it shows readings on any machine: a coretemp
// package at 47 °C (hwmon0) and two fans at 1180 and 940 rpm (hwmon1). Others change readings
// through /proc/PID/root/sys/class/hwmon (the program keeps this process's PID).
//
// Usage: pyrelle_fake_hwmon PROGRAM [ARGUMENT...]

#include <unistd.h>

#include <cstdio>

#include "tests/support/FakeHwmonTree.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fputs("usage: pyrelle_fake_hwmon PROGRAM [ARGUMENT...]\n", stderr);
    return 2;
  }
  const auto tree = FakeHwmonTree::create();
  if (!tree) return 1;
  tree->addCoretemp(0, "47000");
  tree->addFans(1, "1180", "940");
  // The mount namespace, and with it the tree, passes on to the program.
  execvp(argv[1], argv + 1);
  std::perror(argv[1]);
  return 127;
}
