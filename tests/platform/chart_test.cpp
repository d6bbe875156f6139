#include "platform/chart.h"

#include "support/test_env.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>

#include <vector>

namespace {

const char* const kMonths[12] = {"Януари", "Февруари", "Март", "Април", "Май", "Юни",
                                 "Юли", "Август", "Септември", "Октомври", "Ноември", "Декември"};

struct Fixture {
    TChart chart;
    TBarSeries* paid;
    TBarSeries* unpaid;

    Fixture()
    {
        chart.resize(962, 265);
        paid = chart.AddSeries(QStringLiteral("Платени фактури"));
        unpaid = chart.AddSeries(QStringLiteral("Неплатени фактури"));
        for (int i = 0; i < 12; ++i) {
            paid->Add(100.0 * (i + 1), QString::fromUtf8(kMonths[i]), clGreen);
            unpaid->Add(50.0, QString::fromUtf8(kMonths[i]), clRed);
        }
    }

    void Show()
    {
        chart.show();
        QApplication::processEvents();
    }
};

void Press(QWidget* w, QPoint at)
{
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(at), w->mapToGlobal(QPointF(at)), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(at), w->mapToGlobal(QPointF(at)), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w, &release);
}

TEST(Chart, SeriesHoldValuesLabelsColoursAndMarks)
{
    Fixture f;
    EXPECT_EQ(f.chart.ClassName(), QStringLiteral("TChart"));
    ASSERT_EQ(f.paid->Count(), 12);
    EXPECT_EQ(f.paid->YValue(11), 1200.0);
    EXPECT_EQ(f.unpaid->XLabel(2), QStringLiteral("Март"));
    EXPECT_EQ(f.unpaid->ValueColor(0), clRed);

    EXPECT_EQ(f.paid->MarkText(0), QStringLiteral("100"));
    f.paid->SetMarkFormatter([](double v) { return QString::number(v, 'f', 2) + QStringLiteral(" лв."); });
    f.paid->SetYValue(4, 123.456);
    EXPECT_EQ(f.paid->YValue(4), 123.456);
    EXPECT_EQ(f.paid->MarkText(4), QStringLiteral("123.46 лв."));
    EXPECT_EQ(f.unpaid->MarkText(4), QStringLiteral("50"));  // formatters are per series

    EXPECT_THROW(f.paid->YValue(12), EListError);
    EXPECT_THROW(f.paid->SetYValue(-1, 1.0), EListError);

    f.paid->Clear();
    EXPECT_EQ(f.paid->Count(), 0);
    EXPECT_EQ(f.unpaid->Count(), 12);
    EXPECT_THROW(f.paid->YValue(0), EListError);
    f.paid->Add(7, QStringLiteral("Януари"), clGreen);
    EXPECT_EQ(f.paid->YValue(0), 7.0);
}

TEST(Chart, BarsStandSideBySideInMonthOrderAndFollowTheirValues)
{
    Fixture f;
    f.Show();
    for (int i = 0; i < 12; ++i) {
        const QRect p = f.paid->BarRect(i), u = f.unpaid->BarRect(i);
        ASSERT_FALSE(p.isEmpty()) << i;
        ASSERT_FALSE(u.isEmpty()) << i;
        EXPECT_LE(p.right(), u.left() + 1) << "paid stands left of unpaid in month " << i;
        EXPECT_EQ(p.bottom(), u.bottom()) << i;  // one baseline
        if (i > 0) {
            EXPECT_GT(p.left(), f.unpaid->BarRect(i - 1).right()) << i;
            EXPECT_GT(p.height(), f.paid->BarRect(i - 1).height()) << "taller value, taller bar " << i;
        }
    }
    // A quarter of a month's slot per bar.
    const double slot = f.paid->BarRect(1).center().x() - f.paid->BarRect(0).center().x();
    EXPECT_NEAR(f.paid->BarRect(0).width(), slot * 0.25, 2.0);

    const int before = f.unpaid->BarRect(3).height();
    f.unpaid->SetYValue(3, 900);
    EXPECT_GT(f.unpaid->BarRect(3).height(), before * 10);
    EXPECT_EQ(f.unpaid->BarRect(4).height(), before);  // same scale: 900 is below the highest bar

    // A negative value hangs below the baseline.
    f.unpaid->SetYValue(5, -200);
    EXPECT_NEAR(f.unpaid->BarRect(5).top(), f.unpaid->BarRect(4).bottom(), 1);
    EXPECT_GT(f.unpaid->BarRect(5).height(), 0);
}

// Every shown mark of both series, in widget coordinates.
std::vector<QRect> Marks(const Fixture& f)
{
    std::vector<QRect> marks;
    for (TBarSeries* s : {f.paid, f.unpaid})
        for (int i = 0; i < s->Count(); ++i)
            if (!s->MarkRect(i).isEmpty())
                marks.push_back(s->MarkRect(i));
    return marks;
}

TEST(Chart, EveryMarkIsReadableInsideTheChartAndBelowItsClearance)
{
    Fixture f;
    f.chart.SetTopClearance(32);
    const auto money = [](double v) { return v == 0 ? QString() : QString::number(v, 'f', 2) + QStringLiteral(" лв."); };
    f.paid->SetMarkFormatter(money);
    f.unpaid->SetMarkFormatter(money);
    for (int i = 0; i < 12; ++i) {  // wide marks on bars of nearly one height, the last ones the highest
        f.paid->SetYValue(i, 123456789.12 + i);
        f.unpaid->SetYValue(i, i % 3 == 0 ? 0 : 123456789.99 + i);
    }
    f.Show();
    const std::vector<QRect> marks = Marks(f);
    EXPECT_EQ(marks.size(), 20u);  // the four empty months show no mark
    EXPECT_TRUE(f.unpaid->MarkRect(0).isEmpty());
    const QRect chart = f.chart.rect();
    for (size_t a = 0; a < marks.size(); ++a) {
        EXPECT_TRUE(chart.contains(marks[a])) << a;
        EXPECT_GE(marks[a].top(), 32) << a;
        for (size_t b = a + 1; b < marks.size(); ++b)
            EXPECT_FALSE(marks[a].intersects(marks[b])) << a << " " << b;
    }
    // A mark stands on its own bar's side: above a positive one.
    EXPECT_LE(f.paid->MarkRect(11).bottom(), f.paid->BarRect(11).top());
}

TEST(Chart, ClickOnABarReportsItsSeriesAndIndex)
{
    ResetTestDialogs();
    Fixture f;
    f.Show();
    std::vector<std::pair<TBarSeries*, int>> clicks;
    f.chart.OnClickSeries = [&](TBarSeries* s, int i) { clicks.emplace_back(s, i); };

    Press(f.chart.viewport(), f.unpaid->BarRect(7).center());
    Press(f.chart.viewport(), f.paid->BarRect(0).center());
    Press(f.chart.viewport(), QPoint(2, 2));  // the background is no bar
    ASSERT_EQ(clicks.size(), 2u);
    EXPECT_EQ(clicks[0], std::make_pair(f.unpaid, 7));
    EXPECT_EQ(clicks[1], std::make_pair(f.paid, 0));

    f.chart.ClickBar(f.paid, 11);
    EXPECT_EQ(clicks.back(), std::make_pair(f.paid, 11));

    // A failing handler is reported as the user's click would be, not thrown.
    f.chart.OnClickSeries = [](TBarSeries*, int) { throw EConvertError(QStringLiteral("'x' is not a valid integer value")); };
    EXPECT_NO_THROW(Press(f.chart.viewport(), f.paid->BarRect(2).center()));
    EXPECT_NO_THROW(f.chart.ClickBar(f.paid, 2));
    ASSERT_EQ(TestDialogs().boxes.size(), 2u);
    EXPECT_EQ(TestDialogs().boxes[0].text, QStringLiteral("'x' is not a valid integer value"));
}

}  // namespace
