#include "platform/printer.h"

#include "platform/graphics.h"

#include <QFileInfo>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

namespace {
QString outputFile;
std::optional<bool> availabilityOverride;
std::optional<QStringList> installedOverride;

QStringList InstalledPrinters()
{
    return installedOverride ? *installedOverride : QPrinterInfo::availablePrinterNames();
}

bool Available()
{
    if (availabilityOverride)
        return *availabilityOverride;
    return !outputFile.isEmpty() || !InstalledPrinters().isEmpty();
}

void ApplyOutput(QPrinter* p)
{
    if (outputFile.isEmpty()) {
        p->setOutputFileName(QString());
        p->setOutputFormat(QPrinter::NativeFormat);
    } else {
        p->setOutputFormat(QPrinter::PdfFormat);
        p->setOutputFileName(outputFile);
    }
}
}  // namespace

TPrinter::TPrinter() = default;

TPrinter::~TPrinter()
{
    if (painter_) {
        painter_->end();
        delete painter_;
    }
    delete printer_;
}

QPrinter* TPrinter::QtPrinter()
{
    if (!printer_) {
        printer_ = new QPrinter(QPrinter::HighResolution);
        ApplyOutput(printer_);
    }
    return printer_;
}

QStringList TPrinter::Printers() const
{
    if (availabilityOverride && !*availabilityOverride)
        return {};
    QStringList names = InstalledPrinters();
    if (names.isEmpty() && Available())
        names << (outputFile.isEmpty() ? QStringLiteral("Test printer") : outputFile);
    return names;
}

void TPrinter::CheckAvailable() const
{
    if (!Available())
        throw EPrinter(NoPrinterText());
}

void TPrinter::CheckTarget()
{
    if (availabilityOverride && !*availabilityOverride)
        throw EPrinter(NoPrinterText());
    QPrinter* p = QtPrinter();
    // Qt sends a PDF without a file name nowhere; a native job goes to the
    // system, never while the tests stand in for its printers.
    const bool target = p->outputFormat() == QPrinter::PdfFormat
                            ? !p->outputFileName().isEmpty()
                            : !installedOverride && Available() && p->isValid();
    if (!target)
        throw EPrinter(NoPrinterText());
}

TPrinterOrientation TPrinter::Orientation()
{
    CheckAvailable();
    return QtPrinter()->pageLayout().orientation() == QPageLayout::Landscape ? poLandscape : poPortrait;
}

void TPrinter::SetOrientation(TPrinterOrientation o)
{
    CheckAvailable();
    if (Printing())
        throw EPrinter(QStringLiteral("Ориентацията на листа не може да се смени по време на печат.\nИзчакайте печатът да завърши."));
    QtPrinter()->setPageOrientation(o == poLandscape ? QPageLayout::Landscape : QPageLayout::Portrait);
}

int TPrinter::PageWidth()
{
    CheckAvailable();
    return QtPrinter()->width();
}

int TPrinter::PageHeight()
{
    CheckAvailable();
    return QtPrinter()->height();
}

void TPrinter::BeginDoc()
{
    CheckAvailable();
    if (Printing())
        throw EPrinter(QStringLiteral("Вече се печата документ.\nИзчакайте печатът да завърши и опитайте отново."));
    QPrinter* p = QtPrinter();
    p->setDocName(Title);
    auto* painter = new QPainter;
    if (!painter->begin(p)) {
        delete painter;
        throw EPrinter(QStringLiteral("Печатът на „%1“ не може да започне.\nПроверете дали принтерът е включен и свързан "
                                      "и опитайте отново.")
                           .arg(p->outputFileName().isEmpty() ? p->printerName()
                                                              : QFileInfo(p->outputFileName()).fileName()));
    }
    painter_ = painter;
}

void TPrinter::EndDoc()
{
    if (!Printing())
        throw EPrinter(QStringLiteral("Вътрешна грешка: няма започнат печат.\nОпитайте да отпечатате отново."));
    const bool ok = painter_->end();
    delete painter_;
    painter_ = nullptr;
    if (!ok || printer_->printerState() == QPrinter::Error)
        throw EPrinter(PrintFailedText());
}

void TPrinter::Abort()
{
    if (!Printing())
        return;
    printer_->abort();
    painter_->end();
    delete painter_;
    painter_ = nullptr;
}

TCanvas* TPrinter::Canvas()
{
    if (!canvas_)
        canvas_ = std::make_unique<TCanvas>([this]() -> QPainter* {
            if (!painter_)
                throw EPrinter(QStringLiteral("Вътрешна грешка: няма започнат печат.\nОпитайте да отпечатате отново."));
            return painter_;
        });
    return canvas_.get();
}

TPrinter* Printer()
{
    static TPrinter printer;
    return &printer;
}

void SetPrinterOutputFile(const QString& path)
{
    outputFile = path;
    ApplyOutput(Printer()->QtPrinter());
}

void SetPrinterAvailabilityForTests(std::optional<bool> available) { availabilityOverride = available; }

void SetInstalledPrintersForTests(std::optional<QStringList> names) { installedOverride = std::move(names); }

QString NoPrinterText()
{
    return QStringLiteral("Няма инсталиран принтер.\nИнсталирайте принтер и опитайте отново.");
}

QString PrintFailedText()
{
    return QStringLiteral("Документът не може да бъде отпечатан.\nПроверете дали принтерът е включен и свързан и опитайте "
                          "отново.");
}
