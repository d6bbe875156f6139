#include "page/doc.h"

#include "app/mainform.h"
#include "editor/calc.h"
#include "page/wrap.h"
#include "platform/strings.h"
#include "platform/sysutils.h"

#include <QFont>
#include <QFontMetrics>
#include <QFontInfo>
#include <QScrollBar>
#include <QWheelEvent>

#include <algorithm>

TDoc* Doc = nullptr;

namespace {

// Left and Top of every control inside the page's blocks, as designed.
TStringList& DesignPositions()
{
    static TStringList list;
    return list;
}

// The blocks' children in the order both walks use.
template <typename Fn>
void ForEachBlockChild(TPanel* page, Fn fn)
{
    for (int i = 0; i < page->ControlCount(); ++i) {
        TControl* block = page->Controls(i);
        if (block->ClassName() != QLatin1String("TPanel"))
            continue;
        for (int j = 0; j < block->ControlCount(); ++j)
            fn(block->Controls(j));
    }
}

int Bottom(const TControl* c) { return c->Top() + c->Height(); }
// The lower bottom of a caption and its value: either may take several lines.
int Lower(const TControl* a, const TControl* b) { return std::max(Bottom(a), Bottom(b)); }

// The page's content ends where the logo and the rules end.
constexpr int kContentLeft = 14;
constexpr int kContentRight = 841;
// Between a caption and its value, and between neighbouring blocks.
constexpr int kGap = 8;
// Under the last line of the content, over the footer.
constexpr int kFooterGap = 4;
// The bottom block: its left column ends with its rules; the totals keep
// their design right edge and grow to the left, never over the rules.
constexpr int kLeftColumnRight = 401;
constexpr int kTotalsRight = 784;
constexpr int kTotalsMinWidth = 241;
constexpr int kTotalsMargin = 2;

int CaptionRight(const TLabel* c) { return c->Left() + TextWidth(c->Caption(), c->font()); }

// Values that stand in a column right of their captions, as far as right
// (in their block) at most.
struct Column {
    std::vector<TLabel*> captions;
    std::vector<TLabel*> values;
    int designLeft;
    int right;

    int ValueLeft() const
    {
        int left = designLeft;
        for (const TLabel* c : captions)
            left = std::max(left, CaptionRight(c) + kGap);
        return left;
    }
};

std::vector<Column> Columns(TDoc* d)
{
    const int customerRight = d->Panel4->Left() - kGap - d->Panel3->Left();
    const int supplierRight = kContentRight - d->Panel4->Left();
    return {
        {{d->Label24, d->Label28, d->Label31, d->Label25, d->Label66},
         {d->Label33, d->Label29, d->Label30, d->Label34, d->Label65},
         88,
         customerRight},
        {{d->Label45, d->Label48, d->Label50, d->Label64, d->Label69},
         {d->Label46, d->Label47, d->Label49, d->Label11, d->Label10},
         88,
         supplierRight},
        {{}, {d->Label16}, d->Label12->Left() + d->Label12->Width() + 23, supplierRight},
        {{d->Label36}, {d->Label18}, 64, d->Panel6->Left() - kGap},
        {{d->Label58, d->Label27}, {d->Label57, d->Label40}, 184, kLeftColumnRight},
        {{d->Label44, d->Label43, d->Label42, d->Label41},
         {d->Label37, d->Label38, d->Label39, d->Label53},
         80,
         d->StringGrid1->Left() - kGap},
        {{d->Label32}, {d->Label35}, 80, d->Label51->Left() - kGap},
        {{d->Label51}, {d->Label52}, 473, kContentRight - d->Panel5->Left()},
    };
}

// Sets the first label's Top and gives the second the same one.
void Row(TControl* first, TControl* second, int top)
{
    first->SetTop(top);
    if (second)
        second->SetTop(first->Top());
}

const QString& Lv()
{
    static const QString lv = QStringLiteral("лв");
    return lv;
}

// The metric-compatible free fonts stand in for the page's Windows fonts.
void MapPageFonts()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    QFont::insertSubstitution(QStringLiteral("Times New Roman"), QStringLiteral("Liberation Serif"));
    QFont::insertSubstitution(QStringLiteral("Arial"), QStringLiteral("Liberation Sans"));
    for (const char* family : {"Times New Roman", "Arial"})
        if (PageFontFamily(QString::fromLatin1(family)).isEmpty())
            qWarning("Page font \"%s\" is drawn with \"%s\", not with its metric twin: the printed page "
                     "will differ from the design",
                     family, qPrintable(QFontInfo(QFont(QString::fromLatin1(family))).family()));
}

}  // namespace

QString BgFooterLine()
{
    return QStringLiteral("Отпечатано от DOVRENTA") + QLatin1Char(' ') + QStringLiteral("2012") +
           QStringLiteral(", Кварнел ЕООД, 1000 София, ул. „Примерна“ 1, тел. 02 000 00 00, "
                          "e-mail: office@quarnel.example, www.quarnel.example");
}

QString StampText(bool english, bool copy)
{
    if (english)
        return copy ? QStringLiteral("Copy") : QStringLiteral("Original");
    return copy ? QStringLiteral("Копие") : QStringLiteral("Оригинал");
}

QString PageFontFamily(const QString& designFamily)
{
    const QString expected = designFamily == QLatin1String("Arial") ? QStringLiteral("Liberation Sans")
                                                                    : QStringLiteral("Liberation Serif");
    const QString actual = QFontInfo(QFont(designFamily)).family();
    return actual == expected ? actual : QString();
}

TDoc::TDoc(TComponent* owner) : TForm(owner)
{
    MapPageFonts();
    setupUi(this);
    Loaded();
    WindowState = TWindowState::wsMaximized;

    ActionList1 = new TActionList(this);
    ActionList1->SetName(QStringLiteral("ActionList1"));
    Resized = new TAction(ActionList1);
    Resized->SetName(QStringLiteral("Resized"));
    Resized->SetCaption(QStringLiteral("Resized"));
    Resized->OnExecute = Handler(this, &TDoc::ResizedExecute);
    New = new TAction(ActionList1);
    New->SetName(QStringLiteral("New"));
    New->SetCaption(QStringLiteral("New"));
    New->OnExecute = Handler(this, &TDoc::NewExecute);

    // The whole page height scrolls; the page moves under a fixed window.
    scrollBar_ = new QScrollBar(Qt::Vertical, this);
    scrollBar_->setSingleStep(54);
    scrollBar_->setTracking(true);
    QObject::connect(scrollBar_, &QScrollBar::valueChanged, this, [this](int v) { Panel1->SetTop(-v); });
    PlaceScrollBar();

    // The totals stand right-aligned in the whole room beside their captions,
    // so that a total drawn a little wider at the printer's resolution is
    // not cut; a total wider than the room goes on a second line.
    for (TLabel* total : {Label5, Label7, Label3}) {
        total->SetAlignment(taRightJustify);
        total->SetWordWrap(true);
    }

    // The page is printed as it is drawn: no grid on it marks a current cell.
    for (TStringGrid* grid : {StringGrid1, StringGrid2})
        grid->SetShowsCurrentCell(false);

    OnCreate = Handler(this, &TDoc::FormCreate);
    OnShow = Handler(this, &TDoc::FormShow);
    OnResize = Handler(this, &TDoc::FormResize);
    Memo4->OnResize = [this](TObject*) { Resized->Execute(); };
    Panel3->OnResize = [this](TObject*) { Resized->Execute(); };
    Panel4->OnResize = [this](TObject*) { Resized->Execute(); };
}

TDoc::~TDoc()
{
    // The list hangs on the main window but is this window's to free.
    if (Main && Main->BgCaptions) {
        delete Main->BgCaptions;
        Main->BgCaptions = nullptr;
    }
}

void TDoc::FormCreate(TObject*)
{
    SavePositions();
    delete Main->BgCaptions;
    Main->BgCaptions = new TStringList;
    Main->BgCaptions->Clear();
    // The design captions, read back by index when switching to Bulgarian.
    for (TLabel* l : {Label8, Label24, Label28, Label31, Label25, Label66, Label25, Label45, Label48, Label50,
                      Label64, Label69, Label12, Label36, Label6, Label4, Label58, Label27, Label44, Label43,
                      Label42, Label41, Label32, Label51, Label62, Label13})
        Main->BgCaptions->Add(l->Caption());
    Main->BgCaptions->Add(BgFooterLine());
    CurrencyPrefix.clear();
    CurrencyRate = 1.0;
}

void TDoc::FormShow(TObject*)
{
    RealignBlocks();
    Header->SetFocus();
    StringGrid2->SetEnabled(false);
    StringGrid1->SetEnabled(false);
}

void TDoc::FormResize(TObject*)
{
    Panel1->SetLeft(Width() / 2 - Panel1->Width() / 2);
}

void TDoc::PlaceScrollBar()
{
    const int w = scrollBar_->sizeHint().width();
    scrollBar_->setGeometry(width() - w, 0, w, height());
    scrollBar_->setPageStep(std::max(1, height()));
    scrollBar_->setRange(0, std::max(0, 1200 - height()));
    scrollBar_->raise();
}

void TDoc::resizeEvent(QResizeEvent* e)
{
    PlaceScrollBar();
    TForm::resizeEvent(e);
}

void TDoc::wheelEvent(QWheelEvent* e)
{
    const int steps = e->angleDelta().y() / 120;
    scrollBar_->setValue(scrollBar_->value() - steps * scrollBar_->singleStep());
    e->accept();
}

// ---- design places ----

void TDoc::SavePositions()
{
    TStringList& list = DesignPositions();
    // Taken once per page window; a second window (tests) starts afresh.
    list.Clear();
    ForEachBlockChild(Panel1, [&](TControl* c) {
        list.Add(IntToStr(c->Left()));
        list.Add(IntToStr(c->Top()));
    });
}

void TDoc::RestorePositions()
{
    const TStringList& list = DesignPositions();
    int k = 0;
    ForEachBlockChild(Panel1, [&](TControl* c) {
        if (2 * k + 1 < list.Count()) {
            c->SetLeft(StrToInt(list.Strings(2 * k)));
            c->SetTop(StrToInt(list.Strings(2 * k + 1)));
        }
        ++k;
    });
}

// ---- layout ----

void TDoc::ArrangeLabels()
{
    Row(Label8, nullptr, Bottom(Label1) + 8);
    Row(Label15, nullptr, Bottom(Label8) + 5);

    PlaceValueColumns();
    Row(Label28, Label29, Lower(Label24, Label33) + 10);
    Row(Label30, Label31, Lower(Label28, Label29) + 10);
    Row(Label25, Label34, Lower(Label31, Label30) + 10);
    Row(Label65, Label66, Bottom(Label34) + 10);

    Row(Label47, Label48, Lower(Label45, Label46) + 10);
    Row(Label49, Label50, Lower(Label48, Label47) + 10);
    Row(Label64, Label11, Lower(Label50, Label49) + 10);
    Row(Label69, Label10, Lower(Label64, Label11) + 10);
    Row(Label12, Label16, Lower(Label69, Label10) + 10);

    Row(Label20, nullptr, Bottom(Label19));
    // A basis on two lines pushes the rule under it down.
    Row(Bevel5, nullptr, std::max(Bevel5->Top(), Bottom(Label20) + 4));
    Row(Label57, Label58, Bottom(Bevel5) + 6);
    Row(Label27, Label40, Lower(Label57, Label58));
    Row(Bevel6, nullptr, Lower(Label27, Label40) + 4);
    Row(Label44, Label37, Bottom(Bevel6) + 3);
    Row(Label43, Label38, Lower(Label44, Label37) + 8);
    Row(Label42, Label39, Lower(Label43, Label38) + 8);
    Row(Label41, Label53, Lower(Label42, Label39) + 8);

    // Names on several lines push the signature lines down.
    const int names = std::max(Lower(Label32, Label35), Lower(Label51, Label52));
    Row(Label14, Label17, std::max(32, names + 16));
    Row(Label62, Label13, Label14->Top() + 16);

    Label16->SetLeft(Label12->Left() + Label12->Width() + 23);
    Label20->SetLeft(0);
}

void TDoc::PlaceValueColumns()
{
    for (const Column& column : Columns(this)) {
        const int left = column.ValueLeft();
        for (TLabel* value : column.values)
            value->SetLeft(left);
    }
}

int TDoc::TextArea(TLabel* label)
{
    if (label == Label1)
        return Image2->Left() - kGap - kContentLeft;
    if (label == Label19 || label == Label20)
        return kLeftColumnRight - (label == Label19 ? Label19->Left() : 0);
    for (const Column& column : Columns(this))
        if (std::find(column.values.begin(), column.values.end(), label) != column.values.end())
            return column.right - column.ValueLeft();
    return kContentRight - kContentLeft;
}

void TDoc::ResizedExecute(TObject*)
{
    Header->SetTop(20);
    // A kind on two lines keeps the blocks under the heading.
    const int blocksTop = std::max(120, Bottom(Header) + kGap);
    Panel3->SetTop(blocksTop);
    Panel4->SetTop(blocksTop);
    Bevel3->SetWidth(Bevel1->Width());
    Panel2->SetTop(Bottom(Panel3) + 2);
    // A hidden notice block takes no room from the lines.
    const int above = Panel2->isVisibleTo(Panel1) ? Bottom(Panel2) : Bottom(Panel3);
    StringGrid2->SetTop(std::max(above, Bottom(Panel4)) + 15);
    Bevel1->SetTop(Bottom(StringGrid2));
    Memo4->SetTop(Bottom(Bevel1) + 6);
    Bevel3->SetTop(Bottom(Memo4) + 7);
    Panel5->SetTop(Bottom(Bevel3) + 9);
}

void TDoc::CentreHeading()
{
    Header->SetLeft(Panel1->Width() / 2 - Header->Width() / 2);
    Label8->SetLeft(Label1->Left() + (Label1->Width() - Label8->Width()) / 2);
    Label15->SetLeft(Label1->Left() + (Label1->Width() - Label15->Width()) / 2);
    // A long kind stays clear of the logo.
    const int logoLeft = Image2->Left() - kGap;
    if (Header->Left() + Header->Width() > logoLeft)
        Header->SetLeft(std::max(kContentLeft, logoLeft - Header->Width()));
}

void TDoc::SetStamp(const QString& stamp)
{
    Label8->SetCaption(stamp);
    // Centred on its own width, not on the width of the stamp before it.
    CentreHeading();
}

QString TDoc::CurrencyName() const
{
    // Without a second currency the amounts are the editor's own, in leva.
    if (CurrencyPrefix.isEmpty() && CurrencyRate == 1.0)
        return QStringLiteral("BGN");
    return CurrencyPrefix;
}

void TDoc::NewExecute(TObject*)
{
    CentreHeading();

    if (Language == 0) {
        for (TLabel* total : {Label5, Label7, Label3})
            if (!total->Caption().contains(Lv()))
                total->SetCaption(total->Caption() + QStringLiteral(" лв"));
    } else if (Language == 1 && CurrencyRate == 1.0) {
        // The editor's own totals, copied by the fill; suffixed once.
        const QString suffix = QLatin1Char(' ') + CurrencyName();
        for (TLabel* total : {Label5, Label7, Label3})
            if (!total->Caption().endsWith(suffix))
                total->SetCaption(total->Caption() + suffix);
    } else if (Language == 1) {
        Form1->Label7->SetCaption(QStringLiteral("0"));
        Form1->Label3->SetCaption(QStringLiteral("0"));
        Form1->Label5->SetCaption(QStringLiteral("0"));
        const bool six = StringGrid2->ColCount() == 6;
        const int valueCol = six ? 5 : 6;
        for (int r = 1; r < StringGrid2->RowCount(); ++r) {
            const QString quantity = StringGrid2->Cells(3, r);
            const QString price = StringGrid2->Cells(4, r);
            if (quantity.isEmpty() || price.isEmpty())
                continue;
            Form1->Edit3->SetText(quantity);
            Form1->Edit1->SetText(price);
            Form1->Edit2->SetText(six ? QString() : StringGrid2->Cells(5, r));
            Form1->SpeedButton1->Click();
            StringGrid2->SetCells(valueCol, r, Form1->result->Caption());
        }
        // From the calculator's totals, "0" without a priced line: the suffix
        // is added to fresh texts, never to those of an earlier pass.
        const QString suffix = QLatin1Char(' ') + CurrencyName();
        Label5->SetCaption(Form1->Label7->Caption() + suffix);
        Label7->SetCaption(Form1->Label3->Caption() + suffix);
        Label3->SetCaption(Form1->Label5->Caption() + suffix);
    }

    LayoutTotals();
}

void TDoc::LayoutTotals()
{
    const std::pair<TLabel*, TLabel*> rows[] = {{Label6, Label5}, {Label2, Label7}, {Label4, Label3}};
    Label2->SetLeft(Label6->Left());
    Label4->SetLeft(Label6->Left());
    // The block widens to the left for long totals, up to the left column.
    int width = kTotalsMinWidth;
    for (const auto& [caption, value] : rows)
        width = std::max(width, CaptionRight(caption) + kGap + TextWidth(value->Caption(), value->font()) +
                                    kTotalsMargin);
    width = std::min(width, kTotalsRight - kLeftColumnRight - kGap);
    Panel6->SetBounds(kTotalsRight - width, Panel6->Top(), width, Panel6->Height());
    for (const auto& [caption, value] : rows) {
        const int left = CaptionRight(caption) + kGap;
        value->SetBounds(left, value->Top(), width - kTotalsMargin - left, value->Height());
        value->SetWordWrap(true);  // measures the height at the new width
    }

    Row(Label6, Label5, 0);
    Row(Label2, nullptr, std::max(24, Lower(Label6, Label5) + 8));
    Row(Label7, nullptr, Label2->Top() + 8);  // beside the caption's second line
    Bevel4->SetBounds(0, std::max(60, Lower(Label2, Label7) + 4), width, Bevel4->Height());
    Row(Label4, Label3, Bottom(Bevel4) + 2);
    Panel6->SetHeight(std::max(90, Lower(Label4, Label3) + 10));
    // Totals on two lines push the notice accounts under them down.
    if (StringGrid1->Top() < Bottom(Panel6) + kGap)
        StringGrid1->SetTop(Bottom(Panel6) + kGap);
}

void TDoc::FitLineColumns()
{
    TStringGrid* g = StringGrid2;
    std::vector<int> widths;
    for (int c = 0; c < g->ColCount(); ++c)
        widths.push_back(g->ColWidths(c));
    // A width this fit left alone goes back to what it was before it; one
    // set since (by the discount switch) is taken as it is.
    std::vector<int> base = widths;
    for (size_t c = 0; c < base.size() && c < lineWidthsSet_.size() && c < lineWidthsBase_.size(); ++c)
        if (widths[c] == lineWidthsSet_[c])
            base[c] = lineWidthsBase_[c];
    lineWidthsBase_ = base;
    widths = base;
    // A cell is drawn 2 px in from its left edge; as much is kept on its right.
    const QFontMetrics fm(g->font());
    int taken = 0;
    for (int c = 0; c < g->ColCount(); ++c) {
        if (c == 1)
            continue;
        for (int r = 0; r < g->RowCount(); ++r)
            widths[c] = std::max(widths[c], fm.horizontalAdvance(g->Cells(c, r)) + 4);
        taken += widths[c] - lineWidthsBase_[c];
    }
    if (g->ColCount() > 1)
        widths[1] = std::max(fm.horizontalAdvance(g->Cells(1, 0)) + 4, widths[1] - taken);
    for (int c = 0; c < g->ColCount(); ++c)
        g->SetColWidths(c, widths[c]);
    lineWidthsSet_ = widths;
}

bool TDoc::Fits() const { return Bottom(Panel5) + kFooterGap <= Label9->Top(); }

bool RowHoldsSomething(const TStringGrid* grid, int row)
{
    for (int c = 0; c < grid->ColCount(); ++c)
        if (!grid->Cells(c, row).trimmed().isEmpty())
            return true;
    return false;
}

int TDoc::FilledRows() const
{
    int rows = 0;
    for (int r = StringGrid2->FixedRows(); r < StringGrid2->RowCount(); ++r)
        rows += RowHoldsSomething(StringGrid2, r);
    return rows;
}

int TDoc::FittingRows() const
{
    const int rows = FilledRows();
    const int excess = Bottom(Panel5) + kFooterGap - Label9->Top();
    if (excess <= 0)
        return rows;
    const int span = StringGrid2->DefaultRowHeight() + 1;
    return std::max(0, rows - (excess + span - 1) / span);
}

QString TDoc::OverflowMessage() const
{
    const int fitting = FittingRows();
    const QString fit = fitting == 1 ? QStringLiteral("се побира 1 ред") : QStringLiteral("се побират %1 реда").arg(fitting);
    return QStringLiteral("Документът не се побира на една страница: на нея %1, а той има %2. "
                          "Намалете редовете или разделете документа на два и опитайте отново.")
        .arg(fit)
        .arg(FilledRows());
}

void TDoc::RealignBlocks()
{
    for (TPanel* block : {Header, Panel3, Panel4, Memo4, Panel6, Panel2, Panel5})
        block->Realign();
}

void TDoc::RenderPage()
{
    Panel1->SetBevelInner(bvNone);
    Panel1->SetBevelOuter(bvNone);
    TBitmap* bitmap = Image1->Picture()->Bitmap();
    bitmap->SetHeight(Panel1->Height());
    bitmap->SetWidth(Panel1->Width());
    TCanvas* canvas = bitmap->Canvas();
    canvas->Lock();
    PaintTo(Panel1, canvas, 0, 0);
    canvas->Unlock();
}
