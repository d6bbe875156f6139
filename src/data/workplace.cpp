// The main window's "Работно място": choose another data folder.
#include "app/mainform.h"
#include "data/datamodule.h"
#include "platform/dialogs.h"
#include "platform/strings.h"
#include "platform/sysutils.h"

void TMain::SpeedButton4Click(TObject*)
{
    QString current;
    ReadNetworkFolder(current);
    QString chosen = current;
    if (!Dialogs()->SelectDirectory(
            QStringLiteral("Изберете директория, където ще работите с Вашите база данни:"),
            QStringLiteral("Работно място"), chosen))
        return;

    // network.txt names the new folder only once it is known to open.
    const QString previous = DataModule1->Folder();
    try {
        DataModule1->OpenDatabase(chosen, true);
    } catch (...) {
        DataModule1->OpenDatabase(previous, true);
        DataModule1->RefreshStockGrid();
        ShowMessage(QStringLiteral("Папката „%1“ не може да бъде отворена като работно място.\nПродължава работата с „%2“.")
                        .arg(chosen, previous));
        return;
    }
    // The goods window relies on row i being record i of the new stock table.
    DataModule1->RefreshStockGrid();
    TStringList lines;
    lines.Add(chosen);
    lines.SaveToFile(NetworkFile());
}
