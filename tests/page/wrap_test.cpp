#include "page/wrap.h"

#include "support/test_env.h"

#include <QFontMetrics>

#include <gtest/gtest.h>

namespace {

QFont PageFont(bool bold)
{
    QFont f(QStringLiteral("Liberation Serif"));
    f.setPixelSize(13);
    f.setBold(bold);
    return f;
}

}  // namespace

TEST(WrapToWidth, BreaksAtBlanksWithinTheMeasuredWidth)
{
    const QFont font = PageFont(true);
    const QFontMetrics fm(font);
    // Upper case is wide: a character count would let these run past the width.
    const QString name = QStringLiteral("МЕЖДУНАРОДНА ДИСТРИБУЦИЯ НА СТРОИТЕЛНИ МАТЕРИАЛИ И ОБОРУДВАНЕ ЕООД");
    for (int width : {120, 239, 374}) {
        const QStringList lines = WrapToWidth(name, font, width);
        ASSERT_GT(lines.size(), 1) << width;
        for (const QString& l : lines) {
            EXPECT_LE(fm.horizontalAdvance(l), width) << width << " " << l.toStdString();
            EXPECT_FALSE(l.startsWith(QLatin1Char(' ')) || l.endsWith(QLatin1Char(' '))) << l.toStdString();
        }
        // Every word is whole on one line: the breaks replaced blanks only.
        EXPECT_EQ(lines.join(QLatin1Char(' ')), name) << width;
    }
    // What fits stays one line, blanks and all.
    EXPECT_EQ(WrapToWidth(QStringLiteral("five and  0,50 EUR"), font, 500),
              QStringList{QStringLiteral("five and  0,50 EUR")});
    EXPECT_EQ(WrapToWidth(QString(), font, 100), QStringList{QString()});
}

TEST(WrapToWidth, KeepsLineFeedsAndBreaksAWordWiderThanTheWidth)
{
    const QFont font = PageFont(false);
    const QFontMetrics fm(font);
    EXPECT_EQ(WrapToWidth(QStringLiteral("ab\ncd"), font, 300), (QStringList{QStringLiteral("ab"), QStringLiteral("cd")}));
    const QString word(60, QChar(0x0416));
    const QStringList pieces = WrapToWidth(QStringLiteral("А ") + word, font, 200);
    ASSERT_GE(pieces.size(), 3);
    EXPECT_EQ(pieces.first(), QStringLiteral("А"));
    for (const QString& p : pieces)
        EXPECT_LE(fm.horizontalAdvance(p), 200);
    EXPECT_EQ(pieces.mid(1).join(QString()), word);
    // Narrower than one character: one character a line, nothing lost.
    EXPECT_EQ(WrapToWidth(QStringLiteral("ЖЖ"), font, 1), (QStringList{QStringLiteral("Ж"), QStringLiteral("Ж")}));
    EXPECT_EQ(TextWidth(QStringLiteral("a\nЖЖЖ"), font), fm.horizontalAdvance(QStringLiteral("ЖЖЖ")));
}

TEST(WrapToFit, ARunOfBlanksAtABreakLeavesNoBlankAtEitherPiece)
{
    // Counted in characters: the editor's grid and the page share this breaking.
    const TextFits upTo3 = [](const QString& t) { return t.size() <= 3; };
    EXPECT_EQ(WrapToFit(QStringLiteral("ab   cd"), upTo3), (QStringList{QStringLiteral("ab"), QStringLiteral("cd")}));
    EXPECT_EQ(WrapToFit(QStringLiteral("abc   "), upTo3), QStringList{QStringLiteral("abc")});
}

TEST(WrapToFit, ALongLineIsMeasuredPieceByPieceAndNoCharacterIsSplit)
{
    // Each text fits asks about is near a piece's length: a long line costs
    // in proportion to its length, not to its length times its pieces.
    QString line;
    while (line.size() < 200000)
        line += QStringLiteral("дума и още думи ");
    qsizetype asked = 0;
    const TextFits upTo50 = [&asked](const QString& t) {
        asked += t.size();
        return t.size() <= 50;
    };
    const QStringList pieces = WrapToFit(line, upTo50);
    ASSERT_GT(pieces.size(), 4000);
    EXPECT_LT(asked, 20 * line.size());
    EXPECT_TRUE(pieces.join(QLatin1Char(' ')) == line);  // nothing lost or moved

    // Two UTF-16 halves of one character, a letter and its mark, stay together.
    const QString smile = QString::fromUcs4(U"\U0001F600");
    const TextFits upTo3 = [](const QString& t) { return t.size() <= 3; };
    EXPECT_EQ(WrapToFit(QStringLiteral("ab") + smile + QStringLiteral("cd"), upTo3),
              (QStringList{QStringLiteral("ab"), smile + QStringLiteral("c"), QStringLiteral("d")}));
    const QString accented = QStringLiteral("e\u0301");
    EXPECT_EQ(WrapToFit(QStringLiteral("xy") + accented + QStringLiteral("z"), upTo3),
              (QStringList{QStringLiteral("xy"), accented + QStringLiteral("z")}));
    // A character wider than the room by itself is a piece of its own.
    const TextFits upTo1 = [](const QString& t) { return t.size() <= 1; };
    EXPECT_EQ(WrapToFit(smile + smile, upTo1), (QStringList{smile, smile}));
}

TEST(WrapToWidth, LongKernedTextIsBrokenWhereTheMeasuredWidthEnds)
{
    // Kerned pairs make a text narrower than its letters one by one: every
    // line still takes as many words as fit.
    for (bool bold : {false, true}) {
        const QFont font = PageFont(bold);
        const QFontMetrics fm(font);
        QString text;
        while (text.size() < 20000)
            text += QStringLiteral("AVAWAY To Ta Te LT Wa We Yo \"V.A.T.\" Доставка и монтаж на оборудване ");
        text += QString::fromUcs4(U"\U0001F4E6").repeated(300);
        for (int width : {97, 554}) {
            const QStringList lines = WrapToWidth(text, font, width);
            ASSERT_GT(lines.size(), 20);
            for (int i = 0; i < lines.size(); ++i) {
                const QString& l = lines[i];
                EXPECT_LE(fm.horizontalAdvance(l), width) << l.toStdString();
                EXPECT_FALSE(l.isEmpty() || l.back().isHighSurrogate() || l.front().isLowSurrogate()) << i;
                if (i + 1 < lines.size() && !l.contains(QChar(0xD83D)) && !lines[i + 1].contains(QChar(0xD83D))) {
                    const QString more = l + QLatin1Char(' ') + lines[i + 1].section(QLatin1Char(' '), 0, 0);
                    EXPECT_GT(fm.horizontalAdvance(more), width) << "line " << i << " could take more: " << l.toStdString();
                }
            }
            EXPECT_TRUE(lines.join(QString()).remove(QLatin1Char(' ')) == QString(text).remove(QLatin1Char(' ')));
        }
    }
}
