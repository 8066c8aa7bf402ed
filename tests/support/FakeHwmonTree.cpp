#include "tests/support/FakeHwmonTree.h"

#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "platform/foundation/NSLog.h"

namespace fs = std::filesystem;

namespace {

// Devices and buses live beside the hwmon folder, in the same tmpfs; libsensors looks only at
// /sys/class/hwmon and follows its links.
const fs::path hwmonFolder = "/sys/class/hwmon";
const fs::path devicesRoot = "/sys/class/.pyrelle-fake";

// Logs what failed and why; the factory then answers nullptr.
std::nullptr_t failed(const char* what) {
  NSLog(std::string("FakeHwmonTree: ") + what + ": " + std::strerror(errno));
  return nullptr;
}

// Maps this process's user and group to root in a new user namespace, which may then make a
// mount namespace and mount a tmpfs, as root may.
bool enterOwnUserNamespace() {
  const uid_t uid = getuid();
  const gid_t gid = getgid();
  if (unshare(CLONE_NEWUSER) != 0) return false;
  std::ofstream("/proc/self/setgroups") << "deny";
  std::ofstream("/proc/self/uid_map") << "0 " << uid << " 1";
  std::ofstream("/proc/self/gid_map") << "0 " << gid << " 1";
  return getuid() == 0;
}

fs::path chipFolder(int number) { return hwmonFolder / ("hwmon" + std::to_string(number)); }

}  // namespace

std::unique_ptr<FakeHwmonTree> FakeHwmonTree::create() {
  if (geteuid() != 0 && !enterOwnUserNamespace()) return failed("no user namespace");
  if (unshare(CLONE_NEWNS) != 0) return failed("no mount namespace");
  // Nothing is mounted unless every mount of the new namespace was made private first.
  if (mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) {
    return failed("cannot make the mounts private");
  }
  if (mount("pyrelle-fake-class", "/sys/class", "tmpfs", MS_NOSUID | MS_NODEV, "mode=0755") != 0) {
    return failed("cannot mount a tmpfs on /sys/class");
  }
  fs::create_directory(hwmonFolder);
  fs::create_directories(devicesRoot / "bus" / "platform");
  return std::make_unique<FakeHwmonTree>(Passkey<FakeHwmonTree>{});
}

FakeHwmonTree::~FakeHwmonTree() { umount2("/sys/class", MNT_DETACH); }

// The kernel's layout: /sys/class/hwmon/hwmonN links to the device's hwmon folder, whose
// "device" link leads back to the device, whose "subsystem" link names its bus. The class link is
// relative, as the kernel's are, so that the tree reads the same through /proc/PID/root.
void FakeHwmonTree::addChip(int number, const std::string& name, const std::string& device) {
  const fs::path deviceFolder = devicesRoot / "devices" / "platform" / device;
  const fs::path chipHome = deviceFolder / "hwmon" / ("hwmon" + std::to_string(number));
  fs::create_directories(chipHome);
  fs::create_directory_symlink(devicesRoot / "bus" / "platform", deviceFolder / "subsystem");
  fs::create_directory_symlink(fs::path("../../..") / device, chipHome / "device");
  fs::create_directory_symlink(chipHome.lexically_relative(hwmonFolder), chipFolder(number));
  write(number, "name", name);
}

void FakeHwmonTree::addCoretemp(int number, const std::string& millidegrees) {
  addChip(number, "coretemp", "coretemp.0");
  write(number, "temp1_label", "Package id 0");
  write(number, "temp1_input", millidegrees);
}

void FakeHwmonTree::addFans(int number, const std::string& rpm1, const std::string& rpm2) {
  addChip(number, "nct6775", "nct6775.656");
  write(number, "fan1_input", rpm1);
  write(number, "fan2_input", rpm2);
}

void FakeHwmonTree::write(int number, const std::string& attribute, const std::string& value) {
  std::ofstream file(chipFolder(number) / attribute, std::ios::trunc);
  file << value << '\n';
  if (!file) throw std::runtime_error("cannot write " + attribute);
}

void FakeHwmonTree::removeChip(int number) {
  const fs::path chipHome = (hwmonFolder / fs::read_symlink(chipFolder(number))).lexically_normal();
  fs::remove(chipFolder(number));
  fs::remove_all(chipHome.parent_path().parent_path());
}
