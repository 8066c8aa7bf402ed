#pragma once
// A fake /sys/class/hwmon that libsensors reads like the real one, private to this process.
// Creating it moves the process into a new mount namespace whose mounts are all made private
// first (so nothing reaches the real system), hides /sys/class under an empty tmpfs and binds
// a temporary folder on /sys/class/hwmon. Destroying it unmounts both and moves the process
// back. Needs root; the real /sys is never written.

#include <filesystem>
#include <memory>
#include <string>

class FakeHwmonTree {
 public:
  // Empty, with the reason in `whyNot`, where the process may not make a mount namespace.
  static std::unique_ptr<FakeHwmonTree> create(std::string& whyNot);
  ~FakeHwmonTree();
  FakeHwmonTree(const FakeHwmonTree&) = delete;
  FakeHwmonTree& operator=(const FakeHwmonTree&) = delete;

  // Adds hwmon<number> for the platform device `device` (such as "coretemp.0"), named `name`,
  // with the device and subsystem links that let libsensors name it (coretemp-isa-0000).
  void addChip(int number, const std::string& name, const std::string& device);
  // Writes one attribute, such as "temp1_input", ended with a newline as the kernel does.
  void write(int number, const std::string& attribute, const std::string& value);
  // Removes hwmon<number> and its device, as unloading the driver does.
  void removeChip(int number);

 private:
  struct Passkey {};

 public:
  FakeHwmonTree(Passkey, std::filesystem::path root, int originalNamespace);

 private:
  std::filesystem::path chipFolder(int number) const;

  std::filesystem::path root;
  int originalNamespace;
};
