#include "tools/title-icon-sheet/PngFile.h"

#include <array>
#include <fstream>

namespace {

using Bytes = std::vector<unsigned char>;

std::uint32_t crc32(const Bytes& bytes, std::size_t from) {
  std::uint32_t crc = 0xFFFFFFFFu;
  for (std::size_t i = from; i < bytes.size(); ++i) {
    crc ^= bytes[i];
    for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

void putBigEndian(Bytes& out, std::uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8)
    out.push_back(static_cast<unsigned char>(value >> shift));
}

void putChunk(Bytes& out, const char* type, const Bytes& data) {
  putBigEndian(out, static_cast<std::uint32_t>(data.size()));
  const std::size_t start = out.size();
  out.insert(out.end(), type, type + 4);
  out.insert(out.end(), data.begin(), data.end());
  putBigEndian(out, crc32(out, start));
}

// A zlib stream of stored deflate blocks.
Bytes zlibStored(const Bytes& raw) {
  Bytes out{0x78, 0x01};
  std::size_t at = 0;
  do {
    const std::size_t length = std::min<std::size_t>(raw.size() - at, 65535);
    out.push_back(at + length == raw.size() ? 1 : 0);
    const auto len = static_cast<std::uint16_t>(length);
    const auto nlen = static_cast<std::uint16_t>(~len);
    out.insert(out.end(),
               {static_cast<unsigned char>(len & 0xFF), static_cast<unsigned char>(len >> 8),
                static_cast<unsigned char>(nlen & 0xFF), static_cast<unsigned char>(nlen >> 8)});
    out.insert(out.end(), raw.begin() + static_cast<long>(at),
               raw.begin() + static_cast<long>(at + length));
    at += length;
  } while (at < raw.size());
  std::uint32_t a = 1;
  std::uint32_t b = 0;
  for (const unsigned char byte : raw) {
    a = (a + byte) % 65521u;
    b = (b + a) % 65521u;
  }
  putBigEndian(out, (b << 16) | a);
  return out;
}

}  // namespace

bool writePng(const std::string& path, int width, int height,
              const std::vector<std::uint32_t>& argb) {
  if (width <= 0 || height <= 0 ||
      argb.size() != static_cast<std::size_t>(width) * static_cast<std::size_t>(height)) {
    return false;
  }
  Bytes raw;
  for (std::size_t i = 0; i < argb.size(); ++i) {
    if (i % static_cast<std::size_t>(width) == 0) raw.push_back(0);  // no row filter
    const std::uint32_t pixel = argb[i];
    raw.insert(raw.end(),
               {static_cast<unsigned char>(pixel >> 16), static_cast<unsigned char>(pixel >> 8),
                static_cast<unsigned char>(pixel), static_cast<unsigned char>(pixel >> 24)});
  }
  Bytes header;
  putBigEndian(header, static_cast<std::uint32_t>(width));
  putBigEndian(header, static_cast<std::uint32_t>(height));
  header.insert(header.end(), {8, 6, 0, 0, 0});  // 8 bits, RGBA
  Bytes png{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  putChunk(png, "IHDR", header);
  putChunk(png, "IDAT", zlibStored(raw));
  putChunk(png, "IEND", {});
  std::ofstream file(path, std::ios::binary);
  file.write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
  return static_cast<bool>(file.flush());
}
