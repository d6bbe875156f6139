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

    // Nothing of the old folder may be left pending or be stored into the new one.
    if (!SettlePendingWork())
        return;

    // network.txt names the new folder only once it is known to open; a folder
    // that is not written there would be left again at the next start.
    const QString previous = DataModule1->Folder();
    const auto backToPrevious = [&](const QString& why) {
        try {
            DataModule1->OpenDatabase(previous, true);
        } catch (...) {
            // The previous folder did not open either (a start-up that failed).
            ShowMessage(why + QStringLiteral("\nИзберете друга папка с данни с бутона „Работно място“."));
            return;
        }
        DataModule1->RefreshStockGrid();
        BlankDocument(false);
        ShowMessage(why + QStringLiteral("\nПродължава работата с „%1“.").arg(FolderName(previous)));
    };
    try {
        DataModule1->OpenDatabase(chosen, true);
    } catch (const Exception& e) {
        backToPrevious(QStringLiteral("Папката „%1“ не може да бъде отворена като работно място.\n%2").arg(FolderName(chosen), e.Message));
        return;
    } catch (...) {
        backToPrevious(QStringLiteral("Папката „%1“ не може да бъде отворена като работно място.").arg(FolderName(chosen)));
        return;
    }
    try {
        TStringList lines;
        lines.Add(chosen);
        lines.SaveToFile(NetworkFile());
    } catch (const Exception& e) {
        backToPrevious(QStringLiteral("Работното място „%1“ не може да бъде запомнено: %2").arg(FolderName(chosen), e.Message));
        return;
    }
    // The goods window relies on row i being record i of the new stock table.
    DataModule1->RefreshStockGrid();
    // The editor's company, counters and bank came from the old folder.
    BlankDocument(false);
}
