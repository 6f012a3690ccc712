// Texts of map files into UTF-8: UTF-16 of OCAD 9 on with its damaged forms, and texts a file
// calls UTF-8 checked byte by byte.
#include <gtest/gtest.h>

#include <vector>

#include "mapfile/text_encoding.h"
#include "mapfile/utf16.h"

namespace terrak {
namespace {

std::string FromUtf16(std::vector<std::uint8_t> bytes) { return Utf16LeToUtf8(bytes); }

TEST(Utf16Text, EveryUtf8LengthPairsTheEndsOfATextAndUnpairedSurrogates) {
  // One, two, three and four UTF-8 bytes: the limits of each length and a surrogate pair.
  EXPECT_EQ(FromUtf16({0x7F, 0, 0x80, 0, 0xFF, 0x07, 0x00, 0x08, 0xFF, 0xFF, 0, 0}),
            "\x7F\xC2\x80\xDF\xBF\xE0\xA0\x80\xEF\xBF\xBF");
  EXPECT_EQ(FromUtf16({0x34, 0xD8, 0x1E, 0xDD}), "\xF0\x9D\x84\x9E");   // U+1D11E
  EXPECT_EQ(FromUtf16({0xFF, 0xDB, 0xFF, 0xDF}), "\xF4\x8F\xBF\xBF");   // U+10FFFF
  // The first zero unit ends the text; without one the bytes end it.
  EXPECT_EQ(FromUtf16({'a', 0, 0, 0, 'b', 0}), "a");
  EXPECT_EQ(FromUtf16({'a', 0, 'b', 0}), "ab");
  EXPECT_EQ(FromUtf16({}), "");
  // Half a unit at the end: cut short unless it is a zero.
  const std::string replacement = "\xEF\xBF\xBD";
  EXPECT_EQ(FromUtf16({'a', 0, 'b'}), "a" + replacement);
  EXPECT_EQ(FromUtf16({'a', 0, 0}), "a");
  // Unpaired surrogates become replacement characters.
  EXPECT_EQ(FromUtf16({0x00, 0xDC, 'a', 0}), replacement + "a");        // a low one alone
  EXPECT_EQ(FromUtf16({0x00, 0xD8, 'a', 0}), replacement + "a");        // a high one before a letter
  EXPECT_EQ(FromUtf16({'a', 0, 0x00, 0xD8}), "a" + replacement);        // a high one at the end
  EXPECT_EQ(FromUtf16({0x00, 0xD8, 0x00, 0xD8, 0x00, 0xDC}),            // two highs, one pair
            replacement + "\xF0\x90\x80\x80");
  EXPECT_EQ(FromUtf16({0x00, 0xD8, 0, 0, 0x00, 0xDC}), replacement);    // the zero ends it
}

TEST(Utf8Text, WellFormedTextsPassAndEveryOtherByteIsReplaced) {
  const std::string replacement = "\xEF\xBF\xBD";
  for (const std::string good :
       {"", "Arial", "Schw\xC3\xA4rze \xC4\x97", "\xE0\xA0\x80\xED\x9F\xBF\xEE\x80\x80",
        "\xF0\x90\x80\x80\xF4\x8F\xBF\xBF"})
    EXPECT_EQ(ValidUtf8(good), good);
  EXPECT_EQ(ValidUtf8("a\x80z"), "a" + replacement + "z");                  // stray continuation
  EXPECT_EQ(ValidUtf8("a\xC3"), "a" + replacement);                         // cut at the end
  EXPECT_EQ(ValidUtf8("\xE2\x82z"), replacement + replacement + "z");       // cut in the middle
  EXPECT_EQ(ValidUtf8("\xC0\xAF"), replacement + replacement);              // overlong '/'
  EXPECT_EQ(ValidUtf8("\xE0\x9F\xBF"), replacement + replacement + replacement);  // overlong
  EXPECT_EQ(ValidUtf8("\xED\xA0\x80"), replacement + replacement + replacement);  // surrogate
  EXPECT_EQ(ValidUtf8("\xF4\x90\x80\x80").size(), 4 * replacement.size());  // beyond U+10FFFF
  EXPECT_EQ(ValidUtf8("\xF5\xFF"), replacement + replacement);
  EXPECT_EQ(ValidUtf8("\xF7\x80\x80\x80").size(), 4 * replacement.size());  // no lead above F4
  // The Windows code page is another matter: every byte is a character there.
  EXPECT_EQ(Windows1252ToUtf8("\xC5sa \x80"), "\xC3\x85sa \xE2\x82\xAC");
}

}  // namespace
}  // namespace terrak
