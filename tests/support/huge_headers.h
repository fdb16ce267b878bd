#pragma once
// Files whose headers declare pictures far larger than their data, one of
// each format, shared by the test that they give no picture and the
// program that measures what refusing them costs.

#include <vector>

#include "imaging/bytes.h"
#include "imaging/result.h"

namespace pictorin::test {

struct HugeHeaderCase {
  const char* name;
  Bytes bytes;
  Failure expected;  // what DecodePicture reports
};

std::vector<HugeHeaderCase> HugeHeaderCases();

}  // namespace pictorin::test
