// The one bounds-checked reader under the BMP, JPEG segment and EXIF parsers.
#include "platform/byte_reader.h"

#include <gtest/gtest.h>

#include <array>
#include <limits>

namespace zembra {
namespace {

constexpr std::array<std::uint8_t, 6> kBytes{0x12, 0x34, 0x56, 0x78, 0xFF, 0xFE};

TEST(ByteReader, ReadsBothByteOrdersAndSignedValues) {
    const ByteReader little(kBytes, ByteOrder::Little);
    const ByteReader big(kBytes, ByteOrder::Big);
    EXPECT_EQ(little.U16At(0), 0x3412);
    EXPECT_EQ(big.U16At(0), 0x1234);
    EXPECT_EQ(little.U32At(0), 0x78563412u);
    EXPECT_EQ(big.U32At(0), 0x12345678u);
    EXPECT_EQ(little.IntAt(4, 2), -257); // 0xFEFF
    EXPECT_EQ(big.IntAt(4, 2), -2);      // 0xFFFE
    EXPECT_EQ(big.I32At(2), 0x5678FFFE);
}

TEST(ByteReader, RefusesEveryReadThatCrossesTheEnd) {
    ByteReader r(kBytes, ByteOrder::Little);
    constexpr auto kHuge = std::numeric_limits<std::uint64_t>::max();
    EXPECT_TRUE(r.U16At(4));
    EXPECT_FALSE(r.U16At(5));
    EXPECT_FALSE(r.U32At(3));
    EXPECT_FALSE(r.U8At(6));
    EXPECT_FALSE(r.UIntAt(0, 9));
    // Offsets taken from a file may be anything: none of these may wrap round.
    EXPECT_FALSE(r.Sub(2, kHuge));
    EXPECT_FALSE(r.Sub(kHuge, 2));
    EXPECT_FALSE(r.U32At(kHuge - 1));
    EXPECT_EQ(r.Sub(6, 0)->size(), 0u);
    EXPECT_EQ(r.Tail(2)->size(), 4u);
    EXPECT_FALSE(r.Tail(7));
    EXPECT_FALSE(r.Seek(7));

    // Sequential reads stop at the end and a failed one leaves the position.
    ASSERT_TRUE(r.Seek(3));
    EXPECT_FALSE(r.U32());
    EXPECT_EQ(r.Pos(), 3u);
    EXPECT_EQ(r.U16(), 0xFF78);
    EXPECT_FALSE(r.Bytes(2));
    EXPECT_EQ(r.U8(), 0xFE);
    EXPECT_FALSE(r.U8());
    EXPECT_EQ(r.Pos(), 6u);
}

} // namespace
} // namespace zembra
