#pragma once
// A fake /sys/class/hwmon that libsensors reads like the real one, private to this process.
// Creating it moves the process into a new mount namespace whose mounts are all made private
// first (so nothing reaches the real system) and hides /sys/class under an empty tmpfs, which
// then holds the fake chips and their devices. Destroying it unmounts the tmpfs; the process
// stays in its private namespace. Needs root; the real /sys is never written.

#include <memory>
#include <string>

class FakeHwmonTree {
 public:
  // Empty, with the reason in `whyNot`, where the process may not make a mount namespace.
  static std::unique_ptr<FakeHwmonTree> create(std::string& whyNot);
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

 private:
  struct Passkey {};

 public:
  explicit FakeHwmonTree(Passkey) {}

 private:
  void addChip(int number, const std::string& name, const std::string& device);
};
