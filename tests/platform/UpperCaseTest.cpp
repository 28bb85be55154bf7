#include "platform/Text.h"

#include <gtest/gtest.h>

namespace orv {
namespace {

TEST(UpperCase, MapsEverySmallLetterOfWindows1252) {
    const Text small = cp1252(u8"abcdefghijklmnopqrstuvwxyzàáâãäåæçèéêëìíîïðñòóôõöøùúûüýþšœžÿ");
    const Text capital = cp1252(u8"ABCDEFGHIJKLMNOPQRSTUVWXYZÀÁÂÃÄÅÆÇÈÉÊËÌÍÎÏÐÑÒÓÔÕÖØÙÚÛÜÝÞŠŒŽŸ");
    ASSERT_EQ(small.size(), capital.size());
    EXPECT_EQ(to_upper_cp1252(small), capital);

    // Every other byte, capitals, digits, ß, µ and ÷ among them, stays as it is.
    for (int value = 0; value < 256; ++value) {
        const Text byte(1, static_cast<char>(value));
        if (small.find(byte) == Text::npos) {
            SCOPED_TRACE(value);
            EXPECT_EQ(to_upper_cp1252(byte), byte);
        }
    }
}

} // namespace
} // namespace orv
