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
