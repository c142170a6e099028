// Code page 932 as Windows writes it: the characters where it differs from
// plain Shift_JIS, the choice among its duplicate codes, and what becomes of
// characters and bytes outside it. The same bytes are expected on every
// system (Windows' own conversion there, iconv elsewhere).

#include <gtest/gtest.h>

#include "core/code_page_932.h"

using namespace tanka;

namespace {

struct Golden {
    const char16_t* text;
    const char* bytes;
};

// Text and its bytes both ways: each encodes to the bytes, which decode back.
const Golden RoundTrip[] = {
    {u"～", "\x81\x60"},      // FULLWIDTH TILDE, where Shift_JIS has the wave dash
    {u"－", "\x81\x7C"},      // FULLWIDTH HYPHEN-MINUS, not the minus sign
    {u"￢", "\x81\xCA"},      // also at EEF9 and FA54: the first one is written
    {u"∥", "\x81\x61"},       // PARALLEL TO, not the double vertical line
    {u"①", "\x87\x40"},       // NEC special characters
    {u"Ⅰ", "\x87\x54"},       // NEC row 13 before IBM's FA4A
    {u"∵", "\x81\xE6"},       // JIS X 0208 before 879A and FA5B
    {u"ⅰ", "\xFA\x40"},       // IBM extensions before NEC's selection (EEEF)
    {u"ｶｯﾄ", "\xB6\xAF\xC4"}, // half-width katakana, one byte each
    {u"単価変更_20261207.TSV", "\x92\x50\x89\xBF\x95\xCF\x8D\x58_20261207.TSV"},
    {u"\\~", "\\~"}, // ASCII stays ASCII: no yen sign, no overline
};

TEST(CodePage932, WritesAndReadsTheBytesWindowsDoes) {
    ASSERT_TRUE(cp932::isAvailable());
    for (const Golden& g : RoundTrip) {
        const QString text = QString::fromUtf16(g.text);
        const QByteArray bytes(g.bytes);
        SCOPED_TRACE(text.toStdString());
        EXPECT_EQ(cp932::encode(text).toHex(' '), bytes.toHex(' '));
        EXPECT_EQ(cp932::encodedLength(text), bytes.size());
        bool valid = false;
        EXPECT_EQ(cp932::decode(bytes, &valid), text);
        EXPECT_TRUE(valid);
    }
}

// A character outside code page 932 is one '?', never an approximation, and
// what was written reads back as written.
TEST(CodePage932, WritesAQuestionMarkForEachCharacterItLacks) {
    const Golden outside[] = {
        {u"José", "Jos?"},
        {u"¥1,080", "?1,080"}, // no best fit to '\'
        {u"—‾", "??"},
        {u"〜", "?"}, // WAVE DASH: Windows has only the full-width tilde
        {u"カット😀です", "\x83\x4A\x83\x62\x83\x67?\x82\xC5\x82\xB7"}, // a pair is one character
        {u"a\xD800z", "a?z"},                                          // a lone surrogate
    };
    for (const Golden& g : outside) {
        const QString text = QString::fromUtf16(g.text);
        SCOPED_TRACE(text.toStdString());
        const QByteArray bytes = cp932::encode(text);
        EXPECT_EQ(bytes.toHex(' '), QByteArray(g.bytes).toHex(' '));
        EXPECT_EQ(cp932::encode(cp932::decode(bytes)), bytes);
    }
}

TEST(CodePage932, ReadsInvalidBytesAsReplacementCharacters) {
    const struct {
        QByteArray bytes;
        const char16_t* text;
    } rows[] = {
        {QByteArray("A\x85\x40Z"), u"A\uFFFDZ"},   // a lead and trail byte with no character
        {QByteArray("\x82\xA0\x82"), u"あ\uFFFD"}, // a lead byte at the end
    };
    for (const auto& row : rows) {
        bool valid = true;
        EXPECT_EQ(cp932::decode(row.bytes, &valid), QString::fromUtf16(row.text));
        EXPECT_FALSE(valid);
    }
}

} // namespace
