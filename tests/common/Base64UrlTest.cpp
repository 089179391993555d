#include "common/Base64Url.h"

#include <gtest/gtest.h>

#include <string>

TEST(Base64Url, EncodesTheKnownVectors) {
    const struct {
        const char* Bytes;
        const char* Text;
    } cases[] = {
        {"", ""},           {"f", "Zg"},          {"fo", "Zm8"},          {"foo", "Zm9v"},
        {"foob", "Zm9vYg"}, {"fooba", "Zm9vYmE"}, {"foobar", "Zm9vYmFy"}, {"\xfb\xff", "-_8"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Text);
        EXPECT_EQ(Base64UrlEncode(c.Bytes), c.Text);
        EXPECT_EQ(Base64UrlDecode(c.Text), std::string(c.Bytes));
    }
}

TEST(Base64Url, EveryByteRoundTrips) {
    std::string bytes;
    for (int i = 0; i < 256; ++i) bytes.push_back(static_cast<char>(i));
    for (size_t n = 0; n <= bytes.size(); n += 37) {
        const std::string part = bytes.substr(0, n);
        EXPECT_EQ(Base64UrlDecode(Base64UrlEncode(part)), part);
    }
}

TEST(Base64Url, RefusesWhatNoEncodingGives) {
    for (const char* text : {"Zg==", "Zm9v+", "Zm9v/", "Z", "Zm9vY", "Zh", "Zm9 v", "Zm9v\n"}) {
        SCOPED_TRACE(text);
        EXPECT_FALSE(Base64UrlDecode(text).has_value());
    }
}
