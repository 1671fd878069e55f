#include "platform/surface.h"

#include <gtest/gtest.h>

namespace zembra {
namespace {

TEST(Surface, RejectsSizesWithoutPixelsOrTooManyOfThem) {
    EXPECT_FALSE(Surface::Create(0, 5));
    EXPECT_FALSE(Surface::Create(5, -1));
    // 40000 x 40000 is 1.6 Gi pixels, past the 1 Gi limit.
    EXPECT_FALSE(Surface::Create(40000, 40000));
    auto s = Surface::Create(3, 2, 0xFF123456u);
    ASSERT_TRUE(s);
    EXPECT_EQ(s->At(2, 1), 0xFF123456u);
    // Rows are width apart, so x and y are not swapped.
    s->Row(1)[2] = 7;
    EXPECT_EQ(s->Pixels()[5], 7u);
    EXPECT_EQ(s->At(2, 1), 7u);
}

} // namespace
} // namespace zembra
