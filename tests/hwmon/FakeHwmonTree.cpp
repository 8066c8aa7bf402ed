#include "tests/hwmon/FakeHwmonTree.h"

#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <stdexcept>
#include <utility>

namespace fs = std::filesystem;

namespace {

constexpr long sysfsMagic = 0x62656572;

// Closes a file descriptor unless released.
struct Descriptor {
  int fd;
  ~Descriptor() {
    if (fd >= 0) close(fd);
  }
  int release() { return std::exchange(fd, -1); }
};

std::string failure(const char* what) { return std::string(what) + ": " + std::strerror(errno); }

// Runs in the new namespace only: the first step makes every mount private, and nothing is
// mounted if it fails.
bool mountFakeClass(const fs::path& hwmon, std::string& whyNot) {
  if (mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) {
    whyNot = failure("cannot make the mounts private");
    return false;
  }
  if (mount("pyrelle-fake-class", "/sys/class", "tmpfs", MS_NOSUID | MS_NODEV, "mode=0755") != 0) {
    whyNot = failure("cannot mount a tmpfs on /sys/class");
    return false;
  }
  if (mkdir("/sys/class/hwmon", 0755) != 0 ||
      mount(hwmon.c_str(), "/sys/class/hwmon", nullptr, MS_BIND, nullptr) != 0) {
    whyNot = failure("cannot bind the fake hwmon folder");
    umount2("/sys/class", MNT_DETACH);
    return false;
  }
  return true;
}

fs::path makeTemporaryFolder() {
  std::string pattern = (fs::temp_directory_path() / "pyrelle-hwmon-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error(failure("mkdtemp"));
  fs::create_directory(fs::path(pattern) / "class-hwmon");
  return pattern;
}

}  // namespace

std::unique_ptr<FakeHwmonTree> FakeHwmonTree::create(std::string& whyNot) {
  struct statfs sys {};
  if (statfs("/sys", &sys) != 0 || sys.f_type != sysfsMagic) {
    whyNot = "no sysfs on /sys";
    return nullptr;
  }
  Descriptor original{open("/proc/self/ns/mnt", O_RDONLY | O_CLOEXEC)};
  if (original.fd < 0) {
    whyNot = failure("cannot open this process's mount namespace");
    return nullptr;
  }
  if (unshare(CLONE_NEWNS) != 0) {
    whyNot = failure("mount namespaces are not permitted (needs root)");
    return nullptr;
  }
  const fs::path root = makeTemporaryFolder();
  if (!mountFakeClass(root / "class-hwmon", whyNot)) {
    fs::remove_all(root);
    setns(original.fd, CLONE_NEWNS);
    return nullptr;
  }
  return std::make_unique<FakeHwmonTree>(Passkey{}, root, original.release());
}

FakeHwmonTree::FakeHwmonTree(Passkey, fs::path root, int originalNamespace)
    : root(std::move(root)), originalNamespace(originalNamespace) {}

FakeHwmonTree::~FakeHwmonTree() {
  umount2("/sys/class/hwmon", MNT_DETACH);
  umount2("/sys/class", MNT_DETACH);
  setns(originalNamespace, CLONE_NEWNS);
  close(originalNamespace);
  std::error_code ignored;
  fs::remove_all(root, ignored);
}

fs::path FakeHwmonTree::chipFolder(int number) const {
  return root / "class-hwmon" / ("hwmon" + std::to_string(number));
}

// The kernel's layout: /sys/class/hwmon/hwmonN links to the device's hwmon folder, whose
// "device" link leads back to the device, whose "subsystem" link names its bus.
void FakeHwmonTree::addChip(int number, const std::string& name, const std::string& device) {
  const fs::path deviceFolder = root / "devices" / "platform" / device;
  const fs::path hwmonFolder = deviceFolder / "hwmon" / ("hwmon" + std::to_string(number));
  fs::create_directories(hwmonFolder);
  fs::create_directories(root / "bus" / "platform");
  fs::create_directory_symlink(root / "bus" / "platform", deviceFolder / "subsystem");
  fs::create_directory_symlink(fs::path("../../..") / device, hwmonFolder / "device");
  fs::create_directory_symlink(hwmonFolder, chipFolder(number));
  write(number, "name", name);
}

void FakeHwmonTree::write(int number, const std::string& attribute, const std::string& value) {
  std::ofstream file(chipFolder(number) / attribute, std::ios::trunc);
  file << value << '\n';
  if (!file) throw std::runtime_error("cannot write " + attribute);
}

void FakeHwmonTree::removeChip(int number) {
  const fs::path link = chipFolder(number);
  const fs::path hwmonFolder = fs::read_symlink(link);
  fs::remove(link);
  fs::remove_all(hwmonFolder.parent_path().parent_path());
}
