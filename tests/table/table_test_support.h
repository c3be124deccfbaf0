#pragma once

#include <string>
#include <system_error>

#include "row_writer.h"

// Collects what a RowWriter writes.
class StringSink : public table::Sink {
 public:
  std::error_code write(const char* data, std::size_t size) override {
    text.append(data, size);
    return {};
  }
  std::string text;
};
