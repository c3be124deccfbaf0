#pragma once

#include <cstdlib>
#include <string>

// Whether this test run demands every prerequisite of every test: scripts/test.sh sets
// QUORVAN_STRICT_TESTS=1 once it has installed the tools and generated the locales, so that a test
// that would skip for want of one fails instead.
inline bool strictTests() {
  const char* strict = std::getenv("QUORVAN_STRICT_TESTS");
  return strict != nullptr && std::string(strict) == "1";
}
