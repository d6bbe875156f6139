#include "platform/dialogs.h"

#include "platform/application.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QPushButton>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPageSetupDialog>

#include "platform/printer.h"

namespace {

bool StaysOnTop(const QWidget* w)
{
    return w && (w->windowFlags() & Qt::WindowStaysOnTopHint);
}

class QtDialogs : public TDialogs {
public:
    int MessageBox(QWidget* owner, const QString& text, const QString& caption, TMsgIcon icon,
                   TMsgButtons buttons) override
    {
        owner = MessageOwner(owner);
        QMessageBox box(owner);
        // Above every window it could hide behind: a box under a stay-on-top
        // window blocks the program with nothing to press.
        bool onTop = StaysOnTop(owner);
        for (const QWidget* w : QApplication::topLevelWidgets())
            onTop = onTop || (w->isVisible() && w != &box && StaysOnTop(w));
        if (onTop)
            box.setWindowFlag(Qt::WindowStaysOnTopHint, true);
        box.setWindowTitle(caption);
        box.setText(text);
        switch (icon) {
        case TMsgIcon::None: box.setIcon(QMessageBox::NoIcon); break;
        case TMsgIcon::Information: box.setIcon(QMessageBox::Information); break;
        case TMsgIcon::Warning: box.setIcon(QMessageBox::Warning); break;
        case TMsgIcon::Error: box.setIcon(QMessageBox::Critical); break;
        case TMsgIcon::Question: box.setIcon(QMessageBox::Question); break;
        }
        if (buttons == TMsgButtons::YesNoCancel) {
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
            box.setEscapeButton(QMessageBox::Cancel);
        } else if (buttons == TMsgButtons::YesNo) {
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
            box.setEscapeButton(QMessageBox::No);
        } else {
            box.setStandardButtons(QMessageBox::Ok);
        }
        switch (box.exec()) {
        case QMessageBox::Yes: return mrYes;
        case QMessageBox::No: return mrNo;
        case QMessageBox::Ok: return mrOk;
        default: return mrCancel;
        }
    }

    bool SelectDirectory(const QString& caption, const QString&, QString& folder) override
    {
        const QString dir = QFileDialog::getExistingDirectory(nullptr, caption, folder);
        if (dir.isEmpty())
            return false;
        folder = dir;
        return true;
    }

    bool OpenPicture(QString& fileName) override
    {
        const QString f = QFileDialog::getOpenFileName(nullptr, QString(), fileName,
                                                       QStringLiteral("Картини (*.jpg *.jpeg *.png *.bmp);;JPEG (*.jpg *.jpeg);;PNG (*.png);;"
                                                                      "BMP (*.bmp);;Всички файлове (*)"));
        if (f.isEmpty())
            return false;
        fileName = f;
        return true;
    }

    bool SaveFile(QWidget* owner, const QString& title, const QString& filter, QString& fileName) override
    {
        QFileDialog d(owner, title, fileName, QString(filter).replace(QLatin1Char('|'), QStringLiteral(" (")) + QLatin1Char(')'));
        d.setAcceptMode(QFileDialog::AcceptSave);
        d.setOption(QFileDialog::DontUseNativeDialog, false);
        d.setFilter(d.filter() | QDir::Hidden);
        if (d.exec() != QDialog::Accepted || d.selectedFiles().isEmpty())
            return false;
        fileName = d.selectedFiles().first();
        return true;
    }

    bool PrintDialog(QWidget* owner) override
    {
        QPrintDialog d(Printer()->QtPrinter(), owner);
        d.setMinMax(1, 1);
        d.setFromTo(1, 1);
        return d.exec() == QDialog::Accepted;
    }

    bool PrinterSetup(QWidget* owner) override
    {
        // Chooses the printer and its paper; printing is another command.
        QPrintDialog d(Printer()->QtPrinter(), owner);
        d.setWindowTitle(QStringLiteral("Настройки на принтера"));
        d.setOptions(QAbstractPrintDialog::PrintShowPageSize);
        if (auto* buttons = d.findChild<QDialogButtonBox*>())
            if (QPushButton* ok = buttons->button(QDialogButtonBox::Ok))
                ok->setText(QCoreApplication::translate("QPlatformTheme", "OK"));
        return d.exec() == QDialog::Accepted;
    }
};

QtDialogs qtDialogs;
TDialogs* current = &qtDialogs;

}  // namespace

QWidget* MessageOwner(QWidget* raisedBy)
{
    if (raisedBy && raisedBy->window()->isVisible())
        return raisedBy->window();
    if (QWidget* modal = QApplication::activeModalWidget())
        return modal;
    if (QWidget* active = QApplication::activeWindow())
        return active;
    if (QWidget* focus = QApplication::focusWidget())
        return focus->window();
    return nullptr;
}

TDialogs* Dialogs() { return current; }
void SetDialogs(TDialogs* dialogs) { current = dialogs ? dialogs : &qtDialogs; }

void ShowMessage(const QString& text)
{
    current->MessageBox(nullptr, text, Application->Title, TMsgIcon::None, TMsgButtons::Ok);
}

int MessageBox(QWidget* owner, const QString& text, const QString& caption, TMsgIcon icon,
               TMsgButtons buttons)
{
    // A box without a caption of its own is the program's: else the window
    // system titles it with the executable's name.
    return current->MessageBox(owner, text, caption.isEmpty() ? Application->Title : caption, icon, buttons);
}
