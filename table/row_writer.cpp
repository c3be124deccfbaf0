#include "row_writer.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <string>
#include <system_error>
#include <utility>

namespace table {

namespace {

constexpr std::size_t bufferSize = 256 * 1024;

}  // namespace

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

RowWriter::RowWriter(files::FileReplacement& output, Layout shown)
    : file(output), layout(std::move(shown)), buffer(bufferSize), cells(layout.columns.size()) {
  for (std::size_t i = 0; i < cells.size(); ++i) {
    cells[i].column = layout.columns[i];
    cells[i].digits = layout.exact[cells[i].column] ? 0 : layout.digits;
  }
}

void RowWriter::header() {
  std::string line;
  for (const std::string& name : layout.names) line += (line.empty() ? "" : std::string(1, layout.separator)) + name;
  line += '\n';
  headerShown = true;
  ++buffered;
  reserve(line.size());
  std::memcpy(buffer.data() + used, line.data(), line.size());
  used += line.size();
}

void RowWriter::row(const Row& values) {
  reserve(cells.size() * 33);
  char* out = buffer.data() + used;
  for (Cell& cell : cells) {
    // Compared as bits: 0 and -0 print differently, and a NaN equals nothing.
    if (!cell.valid || std::memcmp(&cell.value, &values[cell.column], sizeof(double)) != 0) {
      cell.value = values[cell.column];
      cell.valid = true;
      cell.length =
          static_cast<unsigned char>(formatNumber(cell.text.data(), cell.value, cell.digits) - cell.text.data());
    }
    std::memcpy(out, cell.text.data(), cell.length);
    out += cell.length;
    *out++ = layout.separator;
  }
  out[-1] = '\n';
  ++buffered;
  used = static_cast<std::size_t>(out - buffer.data());
}

void RowWriter::flush() {
  if (used == 0) return;
  const std::uint64_t before = file.written();
  const std::error_code error = file.write(buffer.data(), used);
  // Only a write that failed part way has lines to count.
  lines += error ? static_cast<std::uint64_t>(std::count(
                       buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(file.written() - before), '\n'))
                 : buffered;
  used = 0;
  buffered = 0;
  if (error) throw std::system_error(error);
}

void RowWriter::reserve(std::size_t size) {
  if (buffer.size() - used < size) flush();
  if (buffer.size() < size) buffer.resize(size);
}

}  // namespace table
