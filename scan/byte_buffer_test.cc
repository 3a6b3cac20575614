// Tests for CopyBytes, the short-run copy under ByteBuffer and the output stream.
#include "scan/byte_buffer.h"

#include <gtest/gtest.h>

#include <string>

namespace tsm2ostra {
namespace {

TEST(ByteBuffer, CopyBytesMovesExactlyTheBytesAsked) {
  std::string source;
  for (int i = 0; i < 80; ++i) source += static_cast<char>('A' + i % 50);
  for (size_t n = 0; n <= 70; ++n) {
    std::string target(90, '.');
    CopyBytes(&target[5], source.data() + 3, n);
    EXPECT_EQ(target, std::string(5, '.') + source.substr(3, n) + std::string(85 - n, '.')) << n;
  }
}

}  // namespace
}  // namespace tsm2ostra
