#include "platform/printer.h"

#include <QPrinter>

TPrinter::TPrinter() = default;
TPrinter::~TPrinter() { delete printer_; }

QPrinter* TPrinter::QtPrinter()
{
    if (!printer_)
        printer_ = new QPrinter(QPrinter::HighResolution);
    return printer_;
}

TPrinter* Printer()
{
    static TPrinter printer;
    return &printer;
}
