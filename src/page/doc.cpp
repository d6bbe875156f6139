#include "page/doc.h"

#include "app/mainform.h"
#include "editor/calc.h"
#include "platform/strings.h"
#include "platform/sysutils.h"

#include <QFont>
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

    Row(Label28, Label29, Bottom(Label33) + 10);
    Row(Label30, Label31, Bottom(Label29) + 10);
    Row(Label25, Label34, Bottom(Label31) + 10);
    Row(Label65, Label66, Bottom(Label34) + 10);

    Row(Label47, Label48, Bottom(Label46) + 10);
    Row(Label49, Label50, Bottom(Label47) + 10);
    Row(Label64, Label11, Bottom(Label49) + 10);
    Row(Label69, Label10, Bottom(Label64) + 10);
    Row(Label12, Label16, Bottom(Label69) + 10);

    Row(Label20, nullptr, Bottom(Label19));
    Row(Label57, Label58, Bottom(Bevel5) + 6);
    Row(Label27, Label40, Bottom(Label57));
    Row(Bevel6, nullptr, Bottom(Label27) + 4);
    Row(Label44, Label37, Bottom(Bevel6) + 3);
    Row(Label43, Label38, Bottom(Label44) + 8);
    Row(Label42, Label39, Bottom(Label43) + 8);
    Row(Label41, Label53, Bottom(Label42) + 8);

    Label16->SetLeft(Label12->Left() + Label12->Width() + 23);
    Label20->SetLeft(0);
}

void TDoc::ResizedExecute(TObject*)
{
    Header->SetTop(20);
    Panel3->SetTop(120);
    Panel4->SetTop(120);
    Bevel3->SetWidth(Bevel1->Width());
    Panel2->SetTop(Bottom(Panel3) + 2);
    // The notice block counts even while hidden.
    StringGrid2->SetTop(std::max(Bottom(Panel2), Bottom(Panel4)) + 15);
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
}

void TDoc::SetStamp(const QString& stamp)
{
    Label8->SetCaption(stamp);
    // Centred on its own width, not on the width of the stamp before it.
    CentreHeading();
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
        const QString suffix = QLatin1Char(' ') + CurrencyPrefix;
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
        const QString suffix = QLatin1Char(' ') + CurrencyPrefix;
        Label5->SetCaption(Form1->Label7->Caption() + suffix);
        Label7->SetCaption(Form1->Label3->Caption() + suffix);
        Label3->SetCaption(Form1->Label5->Caption() + suffix);
    }

    Label2->SetLeft(Label6->Left());
    Label4->SetLeft(Label6->Left());
    Label5->SetLeft(170);
    Label7->SetLeft(Label5->Left() + Label5->Width() - Label7->Width());
    Label3->SetLeft(Label5->Left() + Label5->Width() - Label3->Width());
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
