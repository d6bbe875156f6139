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
    EXPECT_EQ(OrderForm->MaskEdit1->Text(), QStringLiteral("0000000001"));
    EXPECT_EQ(OrderForm->EDate->Date(), kToday);

    // Two typed lines give the totals through the calculator.
    TStringGrid* g = OrderForm->StringGrid1;
    g->SetRowCount(3);
    const QStringList line1 = {QString(), QStringLiteral("Консултантски услуги"), QStringLiteral("ч."),
                               QStringLiteral("2"), QStringLiteral("150")};
    const QStringList line2 = {QString(), QStringLiteral("Абонамент за поддръжка"), QStringLiteral("бр."),
                               QStringLiteral("1"), QStringLiteral("49,9")};
    for (int c = 0; c < 5; ++c) {
        g->SetCells(c, 1, line1[c]);
        g->SetCells(c, 2, line2[c]);
    }
    OrderForm->RecalcByRate();
    EXPECT_EQ(g->Cells(5, 1), QStringLiteral("300,00"));
    EXPECT_EQ(g->Cells(5, 2), QStringLiteral("49,90"));
    EXPECT_EQ(OrderForm->Label7->Caption(), QStringLiteral("349,90"));
    EXPECT_EQ(OrderForm->Label4->Caption(), QStringLiteral("69,98"));
    EXPECT_EQ(OrderForm->Label11->Caption(), QStringLiteral("419,88"));

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

TEST_F(EditorTest, PageWindowRecordsItsBulgarianCaptionsAtStart)
{
    ASSERT_NE(Main->BgCaptions, nullptr);
    const QStringList& bg = Main->BgCaptions->List();
    ASSERT_EQ(bg.size(), 27);
    EXPECT_EQ(bg[0], QStringLiteral("Оригинал"));
    EXPECT_EQ(bg[1], QStringLiteral("КЛИЕНТ:"));
    EXPECT_EQ(bg[2], QStringLiteral("Адрес: "));
    EXPECT_EQ(bg[4], QStringLiteral("ИН по ЗДДС"));
    EXPECT_EQ(bg[6], bg[4]);  // the same label twice
    EXPECT_EQ(bg[12], QStringLiteral("Местоиздаване:"));
    EXPECT_EQ(bg[15], QStringLiteral("Сума за плащане"));
    EXPECT_EQ(bg[24], QStringLiteral("/име, фамилия и подпис/"));
    EXPECT_EQ(bg[25], bg[24]);
    EXPECT_TRUE(bg[26].startsWith(QStringLiteral("Отпечатано от DOVRENTA 2012"))) << bg[26].toStdString();
    EXPECT_EQ(Doc->CurrencyPrefix, QString());
    EXPECT_EQ(Doc->CurrencyRate, 1.0);
    EXPECT_EQ(Doc->Language, 0);
    // Captions written later do not change the recorded ones.
    Doc->Label8->SetCaption(QStringLiteral("Копие"));
    EXPECT_EQ(Main->BgCaptions->Strings(0), QStringLiteral("Оригинал"));
}
