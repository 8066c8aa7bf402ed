#include "platform/panel/HostProcess.h"

#include <glib.h>

#include <string_view>

#include "platform/foundation/GLibPtr.h"

namespace {

std::string procEntry(int pid, const char* entry) {
  return "/proc/" + std::to_string(pid) + "/" + entry;
}

}  // namespace

std::string processName(int pid) {
  if (pid <= 0) return {};
  gchar* contents = nullptr;
  if (!g_file_get_contents(procEntry(pid, "comm").c_str(), &contents, nullptr, nullptr)) return {};
  const GCharPtr owned(contents);
  std::string comm(g_strchomp(contents));
  if (comm.size() < processNameCutLength) return comm;
  // Reading the executable's link needs the same rights as tracing the process: it may fail.
  const GCharPtr exe(g_file_read_link(procEntry(pid, "exe").c_str(), nullptr));
  if (!exe) return comm;
  const GCharPtr base(g_path_get_basename(exe.get()));
  return std::string_view(base.get()).starts_with(comm) ? std::string(base.get()) : comm;
}
