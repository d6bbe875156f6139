#pragma once

#include "platform/extctrls.h"
#include "platform/forms.h"
#include "platform/graphics.h"
#include "platform/stdctrls.h"

#include "ui_prtd.h"

#include <QRect>

class QSaveFile;

// The print chooser: prints the page as original or copy, or saves it as a
// JPEG picture. Its caption ("Отпечатай" or "Print") is its language.
class TPrtD : public TForm, public Ui::TPrtD {
public:
    explicit TPrtD(TComponent* owner = nullptr);

    void FormShow(TObject* Sender);
    void SpeedButton1Click(TObject* Sender);
    void SpeedButton2Click(TObject* Sender);
    void SpeedButton3Click(TObject* Sender);

    // Asks for the printer or the file first; only then fills, marks, stores,
    // stamps and paints the page and prints or writes it.
    void PrintDocument(const QString& stamp, bool toImage);

    // The colour depth ComboBox1's text stands for (24 bits for any other text).
    static TPixelFormat DepthOf(const QString& text);
    // The name the picture is written to: ".jpg" appended unless the file
    // name already holds ".jpg" or ends in ".jpeg", in any letter case.
    static QString JpegFileName(const QString& chosen);
    // Where the page lands on a printer page of w x h: a 1 % left margin,
    // stretched to the rest without keeping its proportions.
    static QRect PageTarget(int w, int h);

    // Paints the page panel into the page picture (Image1 of the page window)
    // at the page's own size, in the chosen colour depth.
    void PaintPagePicture();
    // Prints the page panel on one printer page into target, painted at the
    // printer's resolution. Raises on printer failures.
    void PrintBitmap(const QRect& target);
    // Writes the page picture as JPEG into the opened file and puts the file
    // in place. Raises EInOutError.
    void ExportJpeg(QSaveFile& file);

    // The print dialog; false when cancelled. target is the page rectangle on
    // the paper chosen there, portrait. Raises EPrinter without a printer.
    bool ChoosePrinter(QRect& target);

private:
    bool Bulgarian() const;
    // The save dialog; "" when cancelled or an existing file is not to be replaced.
    QString ChooseJpegFile();
};

extern TPrtD* PrtD;
