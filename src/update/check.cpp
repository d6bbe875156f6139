#include "app/mainform.h"
#include "app/splash.h"
#include "platform/dialogs.h"
#include "update/updatei.h"

#include <memory>

void TMain::CheckForUpdate(bool interactive)
{
    std::unique_ptr<TUpdateProgress> progress;
    if (interactive) {
        if (UpdateI->Progress)
            return;  // one is running already
        // The window answers while the server is asked and the program downloaded.
        progress = std::make_unique<TUpdateProgress>();
        progress->Show();
    }
    struct Showing {
        TUpdateProgress*& slot;
        ~Showing() { slot = nullptr; }
    } showing{UpdateI->Progress};
    UpdateI->Progress = progress.get();

    UpdateI->CheckVersion(interactive ? 0 : TUpdateI::SilentCheckLimitMs);
    if (progress && progress->Cancelled)
        return;
    if (progress && UpdateI->Status != 1)
        progress->Hide();
    switch (UpdateI->Status) {
    case -1:
        if (interactive)
            MessageBox(this, QStringLiteral("Няма връзка със сървъра!"), QString(), TMsgIcon::Warning);
        break;
    case 0:
        if (interactive)
            MessageBox(this, QStringLiteral("Вашата версия на програмата е актуална!"), QString(), TMsgIcon::Warning);
        break;
    case 1:
        // The gauge shows only while the splash window is up, at start-up.
        if (SplashForm) {
            SplashForm->CGauge1->SetVisible(true);
            SplashForm->Label1->SetCaption(QStringLiteral("Обновяване..."));
        }
        {
            struct StartUp {
                bool& flag;
                ~StartUp() { flag = false; }
            } startUp{UpdateI->StartingUp};
            UpdateI->StartingUp = !interactive;
            UpdateI->SpeedButton1->Click();
        }
        break;
    }
}
