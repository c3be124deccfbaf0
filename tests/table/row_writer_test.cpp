#include <signal.h>
#include <sys/resource.h>

#include <cstdint>
#include <system_error>

#include <gtest/gtest.h>

#include "row_writer.h"
#include "table_test_support.h"

namespace {

// After a write that fails part way (the file size limit reached inside the buffer), the rows
// counted are those whose line reached the file whole, the header not among them, whether the
// failure comes in the first write of the buffer or a later one.
TEST(RowWriter, CountsTheRowsWrittenWholeWhenAWriteFailsPartWay) {
  struct sigaction ignore {};
  ignore.sa_handler = SIG_IGN;
  struct sigaction previous {};
  ::sigaction(SIGXFSZ, &ignore, &previous);
  table::Layout layout;
  layout.columns = {table::mach};
  layout.names = {"mach"};
  // "mach\n", then 40000 rows of 8 bytes ("1234567\n" and on): more than one buffer.
  constexpr rlim_t header = 5;
  const struct {
    rlim_t limit;
    std::uint64_t rows;
  } cases[] = {{3, 0}, {header, 0}, {header + 8 * 2 + 3, 2}, {header + 8 * 3, 3}, {300001, 37499}};
  for (const auto& c : cases) {
    MemoryFile out;
    files::FileReplacement file;
    ASSERT_FALSE(file.open(out.path()));
    table::RowWriter writer(file, layout);
    rlimit saved{};
    ::getrlimit(RLIMIT_FSIZE, &saved);
    rlimit limited = saved;
    limited.rlim_cur = c.limit;
    ::setrlimit(RLIMIT_FSIZE, &limited);
    std::error_code failure;
    try {
      writer.header();
      table::Row row{};
      for (int i = 0; i < 40000; ++i) {
        row[table::mach] = 1234567 + i;
        writer.row(row);
      }
      writer.flush();
    } catch (const std::system_error& error) {
      failure = error.code();
    }
    ::setrlimit(RLIMIT_FSIZE, &saved);
    EXPECT_EQ(failure, std::errc::file_too_large) << c.limit;
    EXPECT_EQ(writer.rowsWritten(), c.rows) << c.limit;
    EXPECT_EQ(out.text().size(), c.limit);
  }
  ::sigaction(SIGXFSZ, &previous, nullptr);
}

}  // namespace
