// Bar chart: a title, a gradient background, a legend box on the left and bar
// series drawn side by side, one slot per category.
//
// Qt Charts paints a whole bar set in one colour and its value labels cannot
// carry a background, so the chart frame (background, title, plot area) is a
// QChart while the bars, their marks and the category labels are items of our
// own on it: each bar keeps its colour, shows a hand cursor and reports clicks.
#pragma once

#include "platform/control.h"

#include <QChartView>
#include <QRect>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

class TChart;
class QGraphicsRectItem;
class QGraphicsSimpleTextItem;

class TBarSeries : public TComponent {
public:
    QString Title() const { return title_; }
    void SetTitle(const QString& title) { title_ = title; }
    TChart* Chart() const { return chart_; }

    void Clear();
    // Appends a bar; returns its index.
    int Add(double value, const QString& label, TColor colour);
    int Count() const { return static_cast<int>(points_.size()); }

    // Indexes outside 0..Count()-1 raise EListError.
    double YValue(int index) const;
    // Setting a value redraws the bar (and rescales the chart when needed).
    void SetYValue(int index, double value);
    QString XLabel(int index) const;
    TColor ValueColor(int index) const;

    // Turns a value into the text of its mark; by default the plain number.
    void SetMarkFormatter(std::function<QString(double)> formatter);
    QString MarkText(int index) const;

    // Where the bar is drawn, in the chart widget's coordinates; empty while the
    // chart has no size yet.
    QRect BarRect(int index) const;
    // Where the bar's mark is drawn; empty while it is not shown (an empty mark
    // text shows none).
    QRect MarkRect(int index) const;

private:
    friend class TChart;
    TBarSeries(TChart* chart, const QString& title);
    void CheckIndex(int index) const;

    struct Point {
        double value;
        QString label;
        TColor colour;
    };
    TChart* chart_;
    QString title_;
    std::vector<Point> points_;
    std::function<QString(double)> formatter_;
    std::vector<QGraphicsRectItem*> bars_;   // reused, never deleted while the chart lives
    std::vector<QGraphicsRectItem*> marks_;
};

using TSeriesClickEvent = std::function<void(TBarSeries* Sender, int ValueIndex)>;

class TChart : public QChartView, public TControl {
public:
    explicit TChart(QWidget* parent = nullptr);
    ~TChart() override;
    QString ClassName() const override { return QStringLiteral("TChart"); }

    QStringList Title() const { return title_; }
    void TitleClear();
    void TitleAdd(const QString& line);
    QString LegendTitle() const;
    // Marks stay below this line (widget coordinates), for controls that lie
    // over the chart's top.
    void SetTopClearance(int y);

    // The chart owns its series.
    TBarSeries* AddSeries(const QString& title);
    int SeriesCount() const { return static_cast<int>(series_.size()); }
    TBarSeries* Series(int index) const;

    // A click on a bar, with its series and index.
    TSeriesClickEvent OnClickSeries;
    // Runs OnClickSeries as the user's click on that bar does: an exception from
    // the handler is shown in the exception box.
    void ClickBar(TBarSeries* series, int index);

private:
    friend class TBarSeries;
    // Bars are placed after the current event is done, so a walk that sets many
    // values lays them out once; queries lay out at once.
    void ScheduleLayout();
    void LayoutNow();
    void EnsureItems(TBarSeries* s);
    void ApplyTitle();

    QStringList title_;
    std::vector<std::unique_ptr<TBarSeries>> series_;
    std::vector<QGraphicsSimpleTextItem*> labels_;
    QGraphicsRectItem* legend_ = nullptr;
    QGraphicsSimpleTextItem* legendText_ = nullptr;
    bool layoutPending_ = false;
    int topClearance_ = 0;
};
