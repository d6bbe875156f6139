#include "platform/printer.h"

#include "platform/graphics.h"

#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

namespace {
QString outputFile;
std::optional<bool> availabilityOverride;

bool Available()
{
    if (availabilityOverride)
        return *availabilityOverride;
    return !outputFile.isEmpty() || !QPrinterInfo::availablePrinterNames().isEmpty();
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
    QStringList names = QPrinterInfo::availablePrinterNames();
    if (names.isEmpty() && Available())
        names << (outputFile.isEmpty() ? QStringLiteral("Test printer") : outputFile);
    return names;
}

void TPrinter::CheckAvailable() const
{
    if (!Available())
        throw EPrinter(QStringLiteral("No printer is installed"));
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
        throw EPrinter(QStringLiteral("Cannot change the orientation while printing"));
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
        throw EPrinter(QStringLiteral("Printing in progress"));
    QPrinter* p = QtPrinter();
    p->setDocName(Title);
    auto* painter = new QPainter;
    if (!painter->begin(p)) {
        delete painter;
        throw EPrinter(QStringLiteral("Cannot start printing on \"%1\"")
                           .arg(p->outputFileName().isEmpty() ? p->printerName() : p->outputFileName()));
    }
    painter_ = painter;
}

void TPrinter::EndDoc()
{
    if (!Printing())
        throw EPrinter(QStringLiteral("Printer is not currently printing"));
    const bool ok = painter_->end();
    delete painter_;
    painter_ = nullptr;
    if (!ok || printer_->printerState() == QPrinter::Error)
        throw EPrinter(QStringLiteral("The document could not be printed"));
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
                throw EPrinter(QStringLiteral("Printer is not currently printing"));
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
