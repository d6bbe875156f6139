#include "platform/chart.h"

#include <QChart>
#include <QFontMetricsF>
#include <QGraphicsLayout>
#include <QGraphicsRectItem>
#include <QGraphicsSceneMouseEvent>
#include <QGraphicsSimpleTextItem>
#include <QLinearGradient>
#include <QPen>

#include <algorithm>
#include <cmath>

namespace {
constexpr double kBarWidth = 0.25;  // of a category's slot, per series
constexpr qreal kItemsZ = 10;
const QColor kMarkBack(255, 255, 128);

class BarItem : public QGraphicsRectItem {
public:
    BarItem(TChart* chart, TBarSeries* series, int index, QGraphicsItem* parent)
        : QGraphicsRectItem(parent), chart_(chart), series_(series), index_(index)
    {
        setCursor(Qt::PointingHandCursor);
        setPen(Qt::NoPen);
        setZValue(kItemsZ);
    }

protected:
    void mousePressEvent(QGraphicsSceneMouseEvent* e) override
    {
        if (e->button() != Qt::LeftButton) {
            e->ignore();
            return;
        }
        e->accept();
        chart_->ClickBar(series_, index_);
    }

private:
    TChart* chart_;
    TBarSeries* series_;
    int index_;
};

QBrush BarBrush(TColor colour)
{
    const QColor c = ColorToQColor(colour);
    QLinearGradient g(0, 0, 1, 0);
    g.setCoordinateMode(QGradient::ObjectBoundingMode);
    g.setColorAt(0, c.lighter(170));
    g.setColorAt(0.45, c);
    g.setColorAt(1, c.darker(160));
    return QBrush(g);
}
}  // namespace

// ---- TBarSeries ----

TBarSeries::TBarSeries(TChart* chart, const QString& title) : chart_(chart), title_(title) {}

void TBarSeries::CheckIndex(int index) const
{
    if (index < 0 || index >= Count())
        throw EListError(ListIndexText(index));
}

void TBarSeries::Clear()
{
    points_.clear();
    chart_->ScheduleLayout();
}

int TBarSeries::Add(double value, const QString& label, TColor colour)
{
    points_.push_back({value, label, colour});
    chart_->ScheduleLayout();
    return Count() - 1;
}

double TBarSeries::YValue(int index) const
{
    CheckIndex(index);
    return points_[size_t(index)].value;
}

void TBarSeries::SetYValue(int index, double value)
{
    CheckIndex(index);
    points_[size_t(index)].value = value;
    chart_->ScheduleLayout();
}

QString TBarSeries::XLabel(int index) const
{
    CheckIndex(index);
    return points_[size_t(index)].label;
}

TColor TBarSeries::ValueColor(int index) const
{
    CheckIndex(index);
    return points_[size_t(index)].colour;
}

void TBarSeries::SetMarkFormatter(std::function<QString(double)> formatter)
{
    formatter_ = std::move(formatter);
    chart_->ScheduleLayout();
}

QString TBarSeries::MarkText(int index) const
{
    const double v = YValue(index);
    return formatter_ ? formatter_(v) : QString::number(v);
}

namespace {
// Where a shown item is drawn, in the view's coordinates; empty when hidden.
QRect ViewRect(const QGraphicsView* view, const QGraphicsRectItem* item)
{
    if (!item->isVisible())
        return {};
    return view->mapFromScene(item->mapRectToScene(item->rect())).boundingRect();
}
}  // namespace

QRect TBarSeries::BarRect(int index) const
{
    CheckIndex(index);
    chart_->LayoutNow();
    return ViewRect(chart_, bars_[size_t(index)]);
}

QRect TBarSeries::MarkRect(int index) const
{
    CheckIndex(index);
    chart_->LayoutNow();
    return ViewRect(chart_, marks_[size_t(index)]);
}

// ---- TChart ----

TChart::TChart(QWidget* parent) : QChartView(parent), TControl(this)
{
    QChart* c = chart();
    c->setBackgroundRoundness(0);
    c->setBackgroundPen(Qt::NoPen);
    QLinearGradient back(0, 0, 0, 1);
    back.setCoordinateMode(QGradient::ObjectBoundingMode);
    back.setColorAt(0, Qt::black);
    back.setColorAt(1, QColor(0, 198, 255));
    c->setBackgroundBrush(back);
    c->setTitleBrush(Qt::white);
    QFont titleFont = c->titleFont();
    titleFont.setPointSize(10);
    titleFont.setBold(true);
    c->setTitleFont(titleFont);
    // The legend lists no series; a box with its title stands in for it.
    c->legend()->hide();
    c->layout()->setContentsMargins(0, 0, 0, 0);

    legend_ = new QGraphicsRectItem(c);
    legend_->setZValue(kItemsZ);
    legend_->setBrush(QColor(255, 255, 255, 40));
    legend_->setPen(QPen(Qt::white, 1));
    legendText_ = new QGraphicsSimpleTextItem(QStringLiteral("Легенда:"), legend_);
    legendText_->setBrush(Qt::white);
    const QRectF text = legendText_->boundingRect();
    legend_->setRect(0, 0, text.width() + 12, text.height() + 8);
    legendText_->setPos(6, 4);
    c->setMargins(QMargins(int(legend_->rect().width()) + 20, 6, 12, 4));

    setRenderHint(QPainter::Antialiasing);
    setRubberBand(QChartView::NoRubberBand);
    setDragMode(QGraphicsView::NoDrag);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setFrameShape(QFrame::NoFrame);
    setBackgroundBrush(Qt::black);
    // The whole chart is repainted after a change: the exposed parts alone left
    // bars of the previous company or year on screen.
    setViewportUpdateMode(QGraphicsView::FullViewportUpdate);

    connect(c, &QChart::plotAreaChanged, this, [this] { LayoutNow(); });
}

TChart::~TChart()
{
    // The series go before the chart frame does; no late layout may reach them.
    disconnect(chart(), nullptr, this, nullptr);
}

void TChart::TitleClear()
{
    title_.clear();
    ApplyTitle();
}

void TChart::TitleAdd(const QString& line)
{
    title_.append(line);
    ApplyTitle();
}

void TChart::ApplyTitle() { chart()->setTitle(title_.join(QLatin1Char('\n'))); }

QString TChart::LegendTitle() const { return legendText_->text(); }

void TChart::SetTopClearance(int y)
{
    topClearance_ = y;
    ScheduleLayout();
}

TBarSeries* TChart::AddSeries(const QString& title)
{
    series_.push_back(std::unique_ptr<TBarSeries>(new TBarSeries(this, title)));
    ScheduleLayout();
    return series_.back().get();
}

TBarSeries* TChart::Series(int index) const
{
    if (index < 0 || index >= SeriesCount())
        throw EListError(ListIndexText(index));
    return series_[size_t(index)].get();
}

void TChart::ClickBar(TBarSeries* series, int index)
{
    if (OnClickSeries)
        SafeCall([&] { OnClickSeries(series, index); });
}

void TChart::ScheduleLayout()
{
    if (layoutPending_)
        return;
    layoutPending_ = true;
    QMetaObject::invokeMethod(this, [this] { LayoutNow(); }, Qt::QueuedConnection);
}

void TChart::EnsureItems(TBarSeries* s)
{
    while (s->bars_.size() < s->points_.size()) {
        const int index = static_cast<int>(s->bars_.size());
        s->bars_.push_back(new BarItem(this, s, index, chart()));
        auto* mark = new QGraphicsRectItem(chart());
        mark->setZValue(kItemsZ + 1);
        mark->setBrush(kMarkBack);
        mark->setPen(QPen(QColor(128, 128, 128), 1));
        new QGraphicsSimpleTextItem(mark);
        s->marks_.push_back(mark);
    }
}

void TChart::LayoutNow()
{
    layoutPending_ = false;
    size_t slotCount = 0;
    double lo = 0, hi = 0;
    for (const auto& s : series_) {
        EnsureItems(s.get());
        slotCount = std::max(slotCount, s->points_.size());
        for (const auto& p : s->points_) {
            lo = std::min(lo, p.value);
            hi = std::max(hi, p.value);
        }
    }
    while (labels_.size() < slotCount) {
        auto* label = new QGraphicsSimpleTextItem(chart());
        label->setZValue(kItemsZ);
        label->setBrush(Qt::white);
        labels_.push_back(label);
    }

    const QRectF plot = chart()->plotArea();
    legend_->setPos(8, plot.center().y() - legend_->rect().height() / 2);

    const QFontMetricsF fm(QGraphicsSimpleTextItem().font());
    const qreal markH = fm.height() + 4;
    const qreal labelH = fm.height() + 4;
    const qreal ceiling = std::max(plot.top(), mapToScene(QPoint(0, topClearance_)).y());
    const qreal floor = plot.bottom() - labelH;
    const qreal right = chart()->size().width() - 2;
    const int count = SeriesCount();
    bool drawable = false;
    qreal slot = 0;
    QRectF area;
    // Bars are scaled into the plot less the room their marks take. Marks that
    // would overlap are stacked, and the room grows until every mark fits.
    qreal roomAbove = markH + 2, roomBelow = lo < 0 ? markH + 2 : 0;
    for (int pass = 0; pass < 6; ++pass) {
        area = QRectF(QPointF(plot.left(), ceiling + roomAbove), QPointF(plot.right(), floor - roomBelow));
        drawable = slotCount > 0 && area.width() > 0 && area.height() > 0;
        const double top = hi == lo ? lo + 1 : hi;
        const auto y = [&](double v) { return area.bottom() - (v - lo) / (top - lo) * area.height(); };
        slot = drawable ? area.width() / qreal(slotCount) : 0;
        const qreal barW = slot * kBarWidth;
        std::vector<QRectF> placed;
        qreal over = 0, under = 0;
        for (int k = 0; k < count; ++k) {
            TBarSeries* s = series_[size_t(k)].get();
            for (size_t i = 0; i < s->bars_.size(); ++i) {
                QGraphicsRectItem* bar = s->bars_[i];
                QGraphicsRectItem* mark = s->marks_[i];
                const bool used = drawable && i < s->points_.size();
                bar->setVisible(used);
                mark->setVisible(false);
                if (!used)
                    continue;
                const TBarSeries::Point& p = s->points_[i];
                const qreal cx = area.left() + slot * (qreal(i) + 0.5) + (k - (count - 1) / 2.0) * barW;
                const qreal y0 = y(0), yv = y(p.value);
                const QRectF r(cx - barW / 2, std::min(y0, yv), barW, std::abs(yv - y0));
                bar->setRect(r);
                bar->setBrush(BarBrush(p.colour));

                auto* text = static_cast<QGraphicsSimpleTextItem*>(mark->childItems().constFirst());
                text->setText(s->MarkText(int(i)));
                if (text->text().isEmpty())
                    continue;
                const QRectF tr = text->boundingRect();
                const qreal w = tr.width() + 6, h = tr.height() + 2;
                const bool down = p.value < 0;
                QRectF m(std::max(plot.left(), std::min(cx - w / 2, right - w)), down ? r.bottom() + 2 : r.top() - 2 - h,
                         w, h);
                // Each mark moves past every one it would cover; it only ever moves
                // away from its bar, so this ends.
                for (bool moved = true; moved;) {
                    moved = false;
                    for (const QRectF& o : placed)
                        if (m.intersects(o.adjusted(-1, -1, 1, 1))) {
                            m.moveTop(down ? o.bottom() + 2 : o.top() - 2 - h);
                            moved = true;
                        }
                }
                placed.push_back(m);
                mark->setRect(0, 0, w, h);
                mark->setPos(m.topLeft());
                text->setPos(3, 1);
                mark->setVisible(true);
                if (down)
                    under = std::max(under, m.bottom() - floor);
                else
                    over = std::max(over, ceiling - m.top());
            }
        }
        if (over < 0.5 && under < 0.5)
            break;
        roomAbove += std::max<qreal>(over, 0);
        roomBelow += std::max<qreal>(under, 0);
    }

    for (size_t i = 0; i < labels_.size(); ++i) {
        QGraphicsSimpleTextItem* label = labels_[i];
        QString text;
        for (const auto& s : series_)
            if (i < s->points_.size() && text.isEmpty())
                text = s->points_[i].label;
        label->setVisible(drawable && i < slotCount);
        if (!label->isVisible())
            continue;
        label->setText(text);
        const QRectF br = label->boundingRect();
        label->setPos(area.left() + slot * (qreal(i) + 0.5) - br.width() / 2, plot.bottom() - br.height() - 2);
    }
}
