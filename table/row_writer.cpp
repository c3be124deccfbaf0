#include "row_writer.h"

#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>
#include <string>

namespace table {

namespace {

constexpr std::size_t bufferSize = 256 * 1024;

}  // namespace

std::error_code DescriptorSink::write(const char* data, std::size_t size) {
  while (size > 0) {
    const ssize_t written = ::write(fd, data, size);
    if (written < 0) {
      if (errno == EINTR) continue;
      return {errno, std::generic_category()};
    }
    data += written;
    size -= static_cast<std::size_t>(written);
  }
  return {};
}

char* formatNumber(char* out, double value, int digits) {
  if (std::isnan(value)) {
    std::memcpy(out, "nan", 3);
    return out + 3;
  }
  if (std::isinf(value)) {
    if (value < 0) *out++ = '-';
    std::memcpy(out, "inf", 3);
    return out + 3;
  }
  char* const end = out + 32;
  if (digits == 0) return std::to_chars(out, end, value).ptr;
  return std::to_chars(out, end, value, std::chars_format::general, digits).ptr;
}

RowWriter::RowWriter(Sink& out, char separatorChar, int significantDigits)
    : sink(out), separator(separatorChar), digits(significantDigits), buffer(bufferSize) {}

void RowWriter::header() {
  bool first = true;
  std::string line;
  for (std::string_view name : inputNames) {
    line += first ? "" : std::string(1, separator);
    line += name;
    first = false;
  }
  for (std::string_view name : outputNames) {
    line += separator;
    line += name;
  }
  line += '\n';
  reserve(line.size());
  std::memcpy(buffer.data() + used, line.data(), line.size());
  used += line.size();
}

void RowWriter::row(const Row& values) {
  reserve(columnCount * 33);
  char* out = buffer.data() + used;
  for (std::size_t i = 0; i < columnCount; ++i) {
    Cell& cell = cells[i];
    // Compared as bits: 0 and -0 print differently, and a NaN equals nothing.
    if (!cell.valid || std::memcmp(&cell.value, &values[i], sizeof(double)) != 0) {
      cell.value = values[i];
      cell.valid = true;
      cell.length = static_cast<unsigned char>(formatNumber(cell.text.data(), values[i], digits) - cell.text.data());
    }
    std::memcpy(out, cell.text.data(), cell.length);
    out += cell.length;
    *out++ = i + 1 < columnCount ? separator : '\n';
  }
  used = static_cast<std::size_t>(out - buffer.data());
}

void RowWriter::flush() {
  if (used == 0) return;
  const std::error_code error = sink.write(buffer.data(), used);
  used = 0;
  if (error) throw std::system_error(error);
}

void RowWriter::reserve(std::size_t size) {
  if (buffer.size() - used < size) flush();
  if (buffer.size() < size) buffer.resize(size);
}

}  // namespace table
