// The locale-free number conversions agree with the C library's in the C locale.
#include "ZopDat/ZopText.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdlib>
#include <random>

TEST(NumberText, ReadsLikeTheCConversions) {
    // Random tokens over the characters that matter: signs, points, exponents, hex prefixes, inf and nan.
    const std::string alphabet = " +-0123456789.eExXaApPinfINFty()00099";
    std::mt19937 random(11);
    for (int n = 0; n < 200000; ++n) {
        std::string token;
        const int length = static_cast<int>(random() % 24);
        for (int i = 0; i < length; ++i) {
            token += alphabet[random() % alphabet.size()];
        }
        const double expected = std::strtod(token.c_str(), nullptr);
        const double read = zopdat::ParseReal(token);
        ASSERT_TRUE(read == expected || (std::isnan(read) && std::isnan(expected))) << token;
        const long wide = std::strtol(token.c_str(), nullptr, 10);
        ASSERT_EQ(wide > INT_MAX ? INT_MAX : (wide < INT_MIN ? INT_MIN : wide), zopdat::ParseInt(token))
            << token;
    }
    EXPECT_EQ(HUGE_VAL, zopdat::ParseReal(".1e555"));
    EXPECT_EQ(-HUGE_VAL, zopdat::ParseReal("-1" + std::string(400, '0')));
    EXPECT_EQ(0.0, zopdat::ParseReal("0." + std::string(400, '0') + "1"));
}

TEST(NumberText, WritesLikePrintf) {
    char buffer[512];
    for (double value : {0.0, -0.0, 0.5, 0.0000005, 0.0000015, -2.5, 1e-7, 123456.789, 1e300, -1e22}) {
        for (int decimals : {3, 6}) {
            std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
            EXPECT_EQ(buffer, zopdat::FormatFixed(value, decimals));
        }
    }
    EXPECT_EQ("-2147483648", zopdat::FormatInt(INT_MIN));
}
