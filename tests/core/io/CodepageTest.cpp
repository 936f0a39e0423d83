#include "io/Codepage.h"

#include <gtest/gtest.h>

using namespace vesk;

namespace {

QByteArray Hex(const char* hex)
{
    return QByteArray::fromHex(hex);
}

struct TextCase {
    const char* hex;
    QString text;
};

class CodepageText : public ::testing::TestWithParam<TextCase> { };

} // namespace

TEST_P(CodepageText, DecodesAndEncodesByteIdentically)
{
    const TextCase& c = GetParam();
    EXPECT_EQ(DecodeAnsi(Hex(c.hex)), c.text);
    EXPECT_EQ(EncodeAnsi(c.text).toHex(' '), Hex(c.hex).toHex(' '));
}

INSTANTIATE_TEST_SUITE_P(Cases, CodepageText,
    ::testing::Values(TextCase { "", QString() }, TextCase { "50 61 72 74", QStringLiteral("Part") },
        TextCase { "20 7E 5C 7F 00 01", QString::fromLatin1(" ~\\\x7F\0\x01", 6) },
        // The Windows family name of the default text font.
        TextCase { "82 6C 82 72 20 82 6F 83 53 83 56 83 62 83 4E", QStringLiteral("ＭＳ Ｐゴシック") },
        TextCase { "95 94 95 69 96 CA", QStringLiteral("部品面") },
        // Half-width katakana are single bytes.
        TextCase { "B1 C3 DE B0 C0", QStringLiteral("ｱﾃﾞｰﾀ") },
        TextCase { "73 6F 6C 64 65 72 81 69 95 94 95 69 81 6A", QStringLiteral("solder（部品）") },
        // Code points where CP932 differs from plain Shift-JIS.
        TextCase { "81 60 81 7C 87 40", QStringLiteral("～－①") }));

TEST(CodepageTest, InvalidBytesSurviveARoundTrip)
{
    struct Case {
        const char* hex;
        QString decoded;
    } const cases[] = {
        { "80", QString(QChar(char16_t(0xDC80))) },
        { "FF", QString(QChar(char16_t(0xDCFF))) },
        { "A0", QString(QChar(char16_t(0xDCA0))) },
        { "FD FE", QString(QChar(char16_t(0xDCFD))) + QChar(char16_t(0xDCFE)) },
        // A lead byte with nothing after it.
        { "61 82", QStringLiteral("a") + QChar(char16_t(0xDC82)) },
        // A lead byte followed by a byte that cannot trail it.
        { "81 20 62", QString(QChar(char16_t(0xDC81))) + QStringLiteral(" b") },
        { "95 94 80 95 69", QStringLiteral("部") + QChar(char16_t(0xDC80)) + QStringLiteral("品") },
    };
    for (const Case& c : cases) {
        const QByteArray bytes = Hex(c.hex);
        const QString text = DecodeAnsi(bytes);
        EXPECT_EQ(text, c.decoded) << c.hex;
        EXPECT_EQ(EncodeAnsi(text).toHex(' '), bytes.toHex(' ')) << c.hex;
    }
}

TEST(CodepageTest, EveryByteSurvivesARoundTrip)
{
    // Any stored name, whatever wrote it, must be written back unchanged.
    for (int b = 0; b < 256; ++b) {
        const QByteArray byte(1, char(b));
        EXPECT_EQ(EncodeAnsi(DecodeAnsi(byte)), byte) << b;
    }
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(char(b));
    const QString text = DecodeAnsi(all);
    EXPECT_EQ(DecodeAnsi(EncodeAnsi(text)), text);
}

TEST(CodepageTest, EveryTwoByteSequenceKeepsItsMeaning)
{
    // CP932 gives a few characters two codes (NEC and IBM rows); those come back in the
    // code Windows itself writes. Every other sequence, valid or not, comes back byte for byte.
    for (int lead = 0x81; lead < 0x100; ++lead) {
        for (int trail = 0; trail < 256; ++trail) {
            const QByteArray bytes = QByteArray(1, char(lead)) + char(trail);
            const QString text = DecodeAnsi(bytes);
            const QByteArray back = EncodeAnsi(text);
            if (back == bytes)
                continue;
            EXPECT_EQ(DecodeAnsi(back), text) << bytes.toHex(' ').constData();
            EXPECT_EQ(text.size(), 1) << bytes.toHex(' ').constData();
            EXPECT_FALSE(text.at(0).isSurrogate()) << bytes.toHex(' ').constData();
            EXPECT_TRUE(lead == 0x87 || lead == 0xED || lead == 0xEE || lead == 0xFA)
                << bytes.toHex(' ').constData();
        }
    }
}

TEST(CodepageTest, CharactersOutsideTheCodePageBecomeOneQuestionMarkEach)
{
    struct Case {
        QString text;
        const char* hex;
    } const cases[] = {
        { QStringLiteral("€"), "3F" },
        { QStringLiteral("a€b"), "61 3F 62" },
        { QStringLiteral("部€品"), "95 94 3F 95 69" },
        { QStringLiteral("\U0001F600"), "3F" },
        // Its low surrogate (U+DC80) must not be taken for an escaped byte.
        { QStringLiteral("\U0001F480"), "3F" },
        { QStringLiteral("x\U0001F480y"), "78 3F 79" },
        // Lone surrogates that are not escapes.
        { QString(QChar(char16_t(0xD800))), "3F" },
        { QString(QChar(char16_t(0xD800))) + QStringLiteral("a"), "3F 61" },
        { QString(QChar(char16_t(0xDC00))), "3F" },
        // An escaped byte right after a character outside the code page.
        { QStringLiteral("\U0001F600") + QChar(char16_t(0xDC80)), "3F 80" },
    };
    for (const Case& c : cases)
        EXPECT_EQ(EncodeAnsi(c.text).toHex(' '), Hex(c.hex).toHex(' ')) << c.text.toStdString();
}

TEST(CodepageTest, LongTextsConvertCompletely)
{
    // Longer than one conversion buffer in either direction.
    QString text;
    QByteArray bytes;
    for (int i = 0; i < 3000; ++i) {
        text += QStringLiteral("部品面");
        bytes += Hex("95 94 95 69 96 CA");
    }
    EXPECT_EQ(EncodeAnsi(text), bytes);
    EXPECT_EQ(DecodeAnsi(bytes), text);
}
