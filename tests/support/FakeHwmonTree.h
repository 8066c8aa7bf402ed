#pragma once
// A fake /sys/class/hwmon that libsensors reads like the real one, private to this process.
// Creating it moves the process into a new mount namespace (inside a user namespace of its own
// when not root) whose mounts are all made private first, so nothing reaches the real system,
// and hides /sys/class under an empty tmpfs, which then holds the fake chips and their
// devices. Destroying it unmounts the tmpfs; the process stays in its private namespace. The
// real /sys is never written.

#include <memory>
#include <string>

#include "platform/foundation/Passkey.h"

class FakeHwmonTree {
 public:
  // nullptr, with a log line saying why, where the process may not make the namespaces (a
  // process with threads cannot enter a user namespace).
  static std::unique_ptr<FakeHwmonTree> create();
  ~FakeHwmonTree();
  FakeHwmonTree(const FakeHwmonTree&) = delete;
  FakeHwmonTree& operator=(const FakeHwmonTree&) = delete;

  // hwmon<number> for the device coretemp.0, with temp1 "Package id 0" at `millidegrees`.
  void addCoretemp(int number, const std::string& millidegrees);
  // hwmon<number> for the device nct6775.656, with fan1 and fan2.
  void addFans(int number, const std::string& rpm1, const std::string& rpm2);
  // Writes one attribute, such as "temp1_input", ended with a newline as the kernel does.
  void write(int number, const std::string& attribute, const std::string& value);
  // Removes hwmon<number> and its device, as unloading the driver does.
  void removeChip(int number);

  // Made by create() only.
  explicit FakeHwmonTree(Passkey<FakeHwmonTree> /*key*/) {}

 private:
  void addChip(int number, const std::string& name, const std::string& device);
};
