#include "editor_fixture.h"

#include <QPixmap>

// The editor as the user sees it after "Нов Документ". Set QUARNEL_SHOTS to a
// folder to keep the picture for a look.
TEST_F(EditorTest, EditorWindowRendersItsDesign)
{
    CompanyRecord c;
    c.name = QStringLiteral("Алфа Трейд ООД");
    c.address = QStringLiteral("1000 София, ул. „Иван Вазов“ 12");
    c.person = QStringLiteral("Иван Петров");
    c.place = QStringLiteral("София");
    c.id = QStringLiteral("123456786");
    c.vatId = QStringLiteral("BG123456786");
    c.logo = Logo(Qt::darkCyan);
    AddCompany(c);
    AddBankAccount(QStringLiteral("Първа инвестиционна банка"), QStringLiteral("BG80BNBG96611020345678"),
                   QStringLiteral("FINVBGSF"));
    NewDocument();

    const QImage shot = OrderForm->grab().toImage();
    if (const QByteArray dir = qgetenv("QUARNEL_SHOTS"); !dir.isEmpty())
        shot.save(QString::fromLocal8Bit(dir) + QStringLiteral("/editor.png"));

    ASSERT_EQ(shot.size(), QSize(1036, 748));
    // Side bar in sky blue, page area in white, the printed status in red.
    EXPECT_EQ(shot.pixelColor(1030, 740), ColorToQColor(clSkyBlue));
    EXPECT_EQ(shot.pixelColor(400, 690), QColor(Qt::white));
    const QRect status = OrderForm->Panel2->geometry();
    bool red = false;
    for (int x = status.left(); x < status.right() && !red; ++x)
        for (int y = status.top(); y < status.bottom() && !red; ++y)
            red = shot.pixelColor(x, y) == ColorToQColor(clRed);
    EXPECT_TRUE(red);
}
