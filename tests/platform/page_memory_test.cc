// PageBuffer: zero-filled blocks of every size, moved and freed.
#include "platform/page_memory.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <utility>

namespace scenario {
namespace {

bool AllZero(const PageBuffer& b) {
  const unsigned char* p = static_cast<const unsigned char*>(b.data());
  for (size_t i = 0; i < b.size(); ++i) {
    if (p[i] != 0) return false;
  }
  return true;
}

TEST(PageBuffer, ZeroFilledAndWritableWhateverTheSize) {
  // Below a page, pages, and blocks that go to huge pages (1 MB and up),
  // also one just over a huge page.
  for (size_t bytes : {size_t{1}, size_t{4095}, size_t{4097}, size_t{1} << 20,
                       (size_t{2} << 20) + 1, size_t{17} * 1007001}) {
    SCOPED_TRACE(bytes);
    PageBuffer b(bytes);
    ASSERT_NE(nullptr, b.data());
    ASSERT_EQ(bytes, b.size());
    EXPECT_EQ(0u, reinterpret_cast<uintptr_t>(b.data()) % alignof(std::max_align_t));
    EXPECT_TRUE(AllZero(b));
    std::memset(b.data(), 0xA5, bytes);  // every byte is ours
    EXPECT_EQ(0xA5, static_cast<unsigned char*>(b.data())[bytes - 1]);
  }
}

TEST(PageBuffer, EmptyHasNoMemory) {
  PageBuffer none;
  EXPECT_EQ(nullptr, none.data());
  EXPECT_EQ(0u, none.size());
  PageBuffer zero(0);
  EXPECT_EQ(nullptr, zero.data());
  EXPECT_EQ(0u, zero.size());
}

TEST(PageBuffer, MovesHandOverTheBlock) {
  PageBuffer a(3 << 20);
  static_cast<char*>(a.data())[100] = 7;
  void* const block = a.data();
  PageBuffer b(std::move(a));
  EXPECT_EQ(nullptr, a.data());  // NOLINT(bugprone-use-after-move): moved-from is empty
  EXPECT_EQ(0u, a.size());
  EXPECT_EQ(block, b.data());
  EXPECT_EQ(7, static_cast<char*>(b.data())[100]);
  PageBuffer c(10);
  c = std::move(b);  // c's own block is given back
  EXPECT_EQ(block, c.data());
  EXPECT_EQ(size_t{3} << 20, c.size());
  c = PageBuffer();
  EXPECT_EQ(nullptr, c.data());
}

}  // namespace
}  // namespace scenario
