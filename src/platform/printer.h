// The current printer, as the class library's printer object.
#pragma once

#include "platform/core.h"

class QPrinter;

class TPrinter {
public:
    TPrinter();
    ~TPrinter();
    QPrinter* QtPrinter();

private:
    QPrinter* printer_ = nullptr;
};

TPrinter* Printer();
