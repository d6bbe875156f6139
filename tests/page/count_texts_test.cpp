// Counts a user reads: one of a thing is said in the singular.
#include "editor/editor_fixture.h"

namespace {

// The page's overflow message when the sheet holds only the given number of
// a document's two lines: the issuing company's address grows until it does.
QString OverflowWithRoomFor(int rows)
{
    TStringGrid* g = OrderForm->StringGrid1;
    g->SetRowCount(3);
    for (int r = 1; r <= 2; ++r) {
        g->SetCells(1, r, QStringLiteral("Стока %1").arg(r));
        g->SetCells(3, r, QStringLiteral("1"));
        g->SetCells(4, r, QStringLiteral("10"));
    }
    const QString word = QStringLiteral("ул. Дълга 1, ");
    const auto fill = [&](int words) {
        OrderForm->DBText8->SetText(word.repeated(words));
        EXPECT_TRUE(OrderForm->BuildPrintView(false));
        return Doc->FittingRows();
    };
    // The fewer words, the more rows fit.
    int low = 0, high = 1;
    while (fill(high) > rows && high < 4096)
        high *= 2;
    while (high - low > 1) {
        const int mid = (low + high) / 2;
        (fill(mid) > rows ? low : high) = mid;
    }
    return fill(high) == rows ? Doc->OverflowMessage() : QString();
}

}  // namespace

TEST_F(EditorTest, CountsOfOneAreSaidInTheSingular)
{
    AddSampleCompany();
    NewDocument();
    const QString one = OverflowWithRoomFor(1);
    EXPECT_TRUE(one.contains(QStringLiteral("на нея се побира 1 ред, а той има 2."))) << one.toStdString();
    const QString none = OverflowWithRoomFor(0);
    EXPECT_TRUE(none.contains(QStringLiteral("на нея се побират 0 реда, а той има 2."))) << none.toStdString();

    // A record asked for beyond a table of one record.
    TTable* stock = DataModule1->stock;
    AddGood(QStringLiteral("Болт"));
    ASSERT_EQ(stock->RecordCount(), 1);
    try {
        stock->SetRecNo(3);
        ADD_FAILURE() << "no error";
    } catch (const EDatabaseError& e) {
        EXPECT_TRUE(e.Message.contains(QStringLiteral("която има 1 запис."))) << e.Message.toStdString();
    }

    // A company that one stored document points to is deleted.
    DataModule1->store->Append();
    Set(DataModule1->store, "Num", QStringLiteral("0000000001"));
    Set(DataModule1->store, "Firm.db index", QStringLiteral("1"));
    DataModule1->store->Post();
    DataModule1->firm->SetRecNo(1);
    FillFirm->Show();
    FillFirm->DBGrid1CellClick(nullptr);
    TestDialogs().answers.push_back(mrNo);
    FillFirm->Button2->Click();
    ASSERT_EQ(TestDialogs().boxes.size(), 1u);
    EXPECT_TRUE(TestDialogs().boxes[0].text.contains(
        QStringLiteral("1 записан документ сочи тази или следваща фирма: при отваряне той ще покаже друга фирма.")))
        << TestDialogs().boxes[0].text.toStdString();
}
