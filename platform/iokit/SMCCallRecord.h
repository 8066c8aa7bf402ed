#pragma once
// The 80-byte record exchanged with the "AppleSMC" service through structure method 2, as both
// the client (the smc module) and the services see it. Integers are in host byte order.

#include <cstddef>
#include <cstdint>

inline constexpr std::uint32_t SMCMethodIndex = 2;
inline constexpr std::uint8_t SMCCommandReadBytes = 5;
inline constexpr std::uint8_t SMCCommandReadKeyInfo = 9;
inline constexpr std::size_t SMCDataBytes = 32;

struct SMCCallRecord {
  std::uint32_t key;  // four key characters, the first in the most significant byte
  std::uint8_t unused0[24];
  std::uint32_t dataSize;  // key-info output; read-bytes input
  std::uint32_t dataType;  // key-info output: four type characters, first in the top byte
  std::uint8_t unused1[6];
  std::uint8_t command;  // SMCCommandReadKeyInfo or SMCCommandReadBytes
  std::uint8_t unused2[5];
  std::uint8_t bytes[SMCDataBytes];  // read-bytes output; values are big-endian
};

static_assert(sizeof(SMCCallRecord) == 80);
static_assert(offsetof(SMCCallRecord, key) == 0);
static_assert(offsetof(SMCCallRecord, dataSize) == 28);
static_assert(offsetof(SMCCallRecord, dataType) == 32);
static_assert(offsetof(SMCCallRecord, command) == 42);
static_assert(offsetof(SMCCallRecord, bytes) == 48);
