#include "page/prtd.h"

#include "editor/orderform.h"
#include "page/doc.h"
#include "platform/application.h"
#include "platform/dialogs.h"
#include "platform/jpeg.h"
#include "platform/printer.h"
#include "platform/sysutils.h"

#include <QFileInfo>
#include <QFontDatabase>
#include <QPainter>
#include <QPicture>
#include <QSaveFile>

TPrtD* PrtD = nullptr;

namespace {

const QString kBulgarianCaption = QStringLiteral("Отпечатай");
const QString kSaveTitle = QStringLiteral("Експортирай като снимка");
const QString kSaveFilter = QStringLiteral("JPEG 8/24/32 bit|*.jpg");

// The editor's printed flag and status panel, to put back when nothing was printed.
struct PrintedMark {
    bool checked;
    QString caption;
    TColor colour;
    // Whether the content shown is the content the mark was given for.
    bool unchanged;

    static PrintedMark Take()
    {
        TOrderForm* f = OrderForm;
        return {f->CheckBox3->Checked(), f->Panel2->Caption(), f->Panel2->Font()->Color(), !f->Changed()};
    }
    static void SetPrinted()
    {
        TOrderForm* f = OrderForm;
        f->CheckBox3->SetChecked(true);
        f->Panel2->SetCaption(QStringLiteral("Отпечатан"));
        f->Panel2->Font()->SetColor(clBlue);
    }
    void Restore() const
    {
        TOrderForm* f = OrderForm;
        f->CheckBox3->SetChecked(checked);
        f->Panel2->SetCaption(caption);
        f->Panel2->Font()->SetColor(colour);
    }
    // After the shown content was stored but not printed: an earlier print
    // mark belonged to the content it replaced.
    void RestoreForStored() const
    {
        if (unchanged) {
            Restore();
            return;
        }
        TOrderForm* f = OrderForm;
        f->CheckBox3->SetChecked(false);
        f->Panel2->SetCaption(QStringLiteral("Неотпечатан"));
        f->Panel2->Font()->SetColor(clRed);
    }
};

// Fills the page in the editor's language, as the preview button does.
bool FillPage(bool show)
{
    TOrderForm* f = OrderForm;
    if (!f->BuildPrintView(false))
        return false;
    Doc->Language = f->RadioButton1->Checked() ? 0 : f->RadioButton2->Checked() ? 1 : Doc->Language;
    return f->BuildPrintView(show);
}

}  // namespace

// The button pictures live in a resource of this static library.
static void InitPageResources() { Q_INIT_RESOURCE(page); }

TPrtD::TPrtD(TComponent* owner) : TForm(owner)
{
    InitPageResources();
    // Without Tahoma the wide default sans would cut the button texts short.
    if (!QFontDatabase::hasFamily(QStringLiteral("Tahoma")))
        QFont::insertSubstitution(QStringLiteral("Tahoma"), QStringLiteral("Liberation Sans"));
    setupUi(this);
    Loaded();
    ComboBox1->SetText(QStringLiteral("24 бита цвят"));
    OnShow = Handler(this, &TPrtD::FormShow);
    SpeedButton1->OnClick = Handler(this, &TPrtD::SpeedButton1Click);
    SpeedButton2->OnClick = Handler(this, &TPrtD::SpeedButton2Click);
    SpeedButton3->OnClick = Handler(this, &TPrtD::SpeedButton3Click);
}

bool TPrtD::Bulgarian() const { return Caption() == kBulgarianCaption; }

void TPrtD::FormShow(TObject*)
{
    const QPoint cursor = Screen->CursorPos();
    move(cursor.x() - frameGeometry().width(), cursor.y());
}

void TPrtD::SpeedButton1Click(TObject*)
{
    PrintDocument(StampText(!Bulgarian(), false), false);
}

void TPrtD::SpeedButton2Click(TObject*)
{
    PrintDocument(StampText(!Bulgarian(), true), false);
}

void TPrtD::SpeedButton3Click(TObject*)
{
    PrintDocument(StampText(!Bulgarian(), false), true);
}

TPixelFormat TPrtD::DepthOf(const QString& text)
{
    if (text == QStringLiteral("8 бита цвят"))
        return pf8bit;
    if (text == QStringLiteral("32 бита цвят"))
        return pf32bit;
    return pf24bit;
}

QString TPrtD::JpegFileName(const QString& chosen)
{
    // Only the name counts, not a folder that happens to hold ".jpg".
    const QString name = QFileInfo(chosen).fileName();
    if (name.contains(QLatin1String(".jpg"), Qt::CaseInsensitive) ||
        name.endsWith(QLatin1String(".jpeg"), Qt::CaseInsensitive))
        return chosen;
    return chosen + QStringLiteral(".jpg");
}

QRect TPrtD::PageTarget(int w, int h) { return Rect(int(w * 0.01), 0, w, h); }

QString TPrtD::ChooseJpegFile()
{
    QString chosen;
    // Owned by the chooser, which stays on top: else the dialog opens behind it.
    if (!Dialogs()->SaveFile(this, kSaveTitle, kSaveFilter, chosen) || chosen.isEmpty())
        return QString();
    const QString name = JpegFileName(chosen);
    // The dialog only saw the typed name; the file actually written may exist.
    if (name != chosen && QFileInfo::exists(name)) {
        const int answer = MessageBox(this,
                                      QStringLiteral("Файлът „%1“ вече съществува.\nДа бъде ли заменен?")
                                          .arg(QFileInfo(name).fileName()),
                                      kSaveTitle, TMsgIcon::Warning, TMsgButtons::YesNoCancel);
        if (answer != mrYes)
            return QString();
    }
    return name;
}

bool TPrtD::ChoosePrinter(QRect& target)
{
    TPrinter* printer = Printer();
    printer->CheckAvailable();
    printer->SetOrientation(poPortrait);
    if (!Dialogs()->PrintDialog(this))
        return false;
    // The page is always portrait, and its size is the paper chosen in the dialog.
    printer->SetOrientation(poPortrait);
    target = PageTarget(printer->PageWidth(), printer->PageHeight());
    return true;
}

void TPrtD::PrintDocument(const QString& stamp, bool toImage)
{
    TOrderForm* f = OrderForm;
    // A page that cannot be laid out (the user was told) or does not fit its
    // one sheet is neither asked about, stored nor printed.
    if (!FillPage(false))
        return;
    if (!Doc->Fits()) {
        ShowMessage(Doc->OverflowMessage());
        return;
    }

    QString fileName;
    QRect target;
    QSaveFile file;
    try {
        if (toImage) {
            fileName = ChooseJpegFile();
            if (fileName.isEmpty())
                return;
            // A place that cannot be written is found out before anything is stored.
            file.setFileName(fileName);
            if (!file.open(QIODevice::WriteOnly))
                throw EInOutError(FileCreateText(fileName));
        } else if (!ChoosePrinter(target)) {
            return;
        }
    } catch (const Exception& e) {
        Application->ShowException(e);
        return;
    }

    const PrintedMark before = PrintedMark::Take();
    // The preview, as its button shows it.
    if (!FillPage(true))
        return;
    PrintedMark::SetPrinted();
    if (!f->SaveWithCustomer(false)) {
        before.Restore();
        return;
    }
    FillPage(false);
    try {
        Doc->StringGrid2->SetFocus();
    } catch (const Exception&) {
        // The page keeps its grid disabled.
    }
    Doc->SetStamp(stamp);
    PaintPagePicture();

    try {
        if (toImage) {
            ExportJpeg(file);
        } else {
            PrintBitmap(target);
        }
    } catch (const Exception& e) {
        // Nothing came out: the register must not say it was printed.
        Printer()->Abort();
        before.RestoreForStored();
        f->SaveWithCustomer(false);
        Application->ShowException(e);
    }
}

void TPrtD::PaintPagePicture()
{
    TBitmap* bitmap = Doc->Image1->Picture()->Bitmap();
    bitmap->SetHeight(Doc->Panel1->Height());
    bitmap->SetWidth(Doc->Panel1->Width());
    TCanvas* canvas = bitmap->Canvas();
    canvas->Lock();
    PaintTo(Doc->Panel1, canvas, 0, 0);
    canvas->Unlock();
    bitmap->SetPixelFormat(pf24bit);
    bitmap->SetPixelFormat(DepthOf(ComboBox1->Text()));
}

namespace {

// In 8-bit colour the page's only many-coloured part, the logo, is printed
// with the picture's 256 colours; the logo is put back afterwards.
class LogoDepth {
public:
    explicit LogoDepth(TPixelFormat depth)
    {
        TPicture* logo = Doc->Image2->Picture();
        if (depth != pf8bit || logo->IsEmpty())
            return;
        saved_.Assign(*logo);
        logo->Bitmap()->SetPixelFormat(pf8bit);
        active_ = true;
    }
    ~LogoDepth()
    {
        if (active_)
            Doc->Image2->Picture()->Assign(saved_);
    }
    LogoDepth(const LogoDepth&) = delete;
    LogoDepth& operator=(const LogoDepth&) = delete;

private:
    TPicture saved_;
    bool active_ = false;
};

}  // namespace

void TPrtD::PrintBitmap(const QRect& target)
{
    TPrinter* printer = Printer();
    LogoDepth depth(DepthOf(ComboBox1->Text()));
    // The panel's drawing, not its screen picture, so that text stays text and
    // is sharp at the printer's resolution. Widgets rendered straight onto a
    // printer go through a bitmap, so the drawing is recorded first.
    QPicture page;
    {
        QPainter recorder(&page);
        PaintWidgetTo(Doc->Panel1, recorder, 0, 0);
    }
    page.setBoundingRect(QRect(0, 0, Doc->Panel1->Width(), Doc->Panel1->Height()));
    printer->BeginDoc();
    printer->Canvas()->Paint([&](QPainter& p) {
        // Playing a picture already scales it from its resolution to the device's.
        const double rx = double(p.device()->logicalDpiX()) / page.logicalDpiX();
        const double ry = double(p.device()->logicalDpiY()) / page.logicalDpiY();
        p.translate(target.topLeft());
        p.scale(double(target.width()) / Doc->Panel1->Width() / rx,
                double(target.height()) / Doc->Panel1->Height() / ry);
        p.drawPicture(0, 0, page);
    });
    printer->EndDoc();
}

void TPrtD::ExportJpeg(QSaveFile& file)
{
    TJPEGImage jpeg;
    jpeg.Assign(*Doc->Image1->Picture()->Bitmap());
    const QByteArray bytes = jpeg.SaveToBytes();
    if (file.write(bytes) != bytes.size() || !file.commit())
        throw EInOutError(FileWriteText(file.fileName()));
}
