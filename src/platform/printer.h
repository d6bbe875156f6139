// The current printer, as the class library's printer object: orientation,
// page size in device pixels and one document at a time painted on its canvas.
#pragma once

#include "platform/core.h"

#include <QStringList>

#include <memory>
#include <optional>

class QPainter;
class QPrinter;
class TCanvas;

enum TPrinterOrientation { poPortrait, poLandscape };

class TPrinter {
public:
    TPrinter();
    ~TPrinter();
    TPrinter(const TPrinter&) = delete;
    TPrinter& operator=(const TPrinter&) = delete;

    // The Qt printer behind it (print dialogs set it up).
    QPrinter* QtPrinter();

    // Names of the installed printers.
    QStringList Printers() const;
    // Raises EPrinter when no printer is installed.
    void CheckAvailable() const;
    // Raises EPrinter with NoPrinterText() unless a document sent to the Qt
    // printer now would reach a printer or a PDF file.
    void CheckTarget();

    // Both raise EPrinter when no printer is installed; changing the
    // orientation while a document is printing raises as well.
    TPrinterOrientation Orientation();
    void SetOrientation(TPrinterOrientation o);
    // The printable area in device pixels; raise EPrinter without a printer.
    int PageWidth();
    int PageHeight();

    // The document name the print job gets at BeginDoc.
    QString Title;

    // Starts a document; its first page is the canvas. Raises EPrinter when
    // no printer is installed, a document is already printing or the job
    // cannot start.
    void BeginDoc();
    // Ends and sends the document; raises EPrinter when none is printing.
    void EndDoc();
    // Drops the document being printed.
    void Abort();
    bool Printing() const { return painter_ != nullptr; }
    // Painting on it raises EPrinter unless a document is printing.
    TCanvas* Canvas();

private:
    QPrinter* printer_ = nullptr;
    QPainter* painter_ = nullptr;
    std::unique_ptr<TCanvas> canvas_;
};

TPrinter* Printer();

// What the user is told when there is no printer, or the printer fails.
QString NoPrinterText();
QString PrintFailedText();

// Hooks for tests (and for printing to a file): a non-empty path sends every
// document to that PDF file instead of a printer and counts as an installed
// printer; an empty path goes back to the system's printers.
void SetPrinterOutputFile(const QString& path);
// Overrides whether a printer counts as installed: true or false, or
// std::nullopt to ask the system (and the output file hook) again.
void SetPrinterAvailabilityForTests(std::optional<bool> available);
// Stands in for the system's list of installed printers, so that tests never
// depend on the machine's printers; std::nullopt asks the system again. While
// it is set, only an output file is a place to print to.
void SetInstalledPrintersForTests(std::optional<QStringList> names);
