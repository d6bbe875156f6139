#include "app/mainform.h"
#include "app/splash.h"
#include "platform/dialogs.h"
#include "update/updatei.h"

void TMain::CheckForUpdate(bool interactive)
{
    UpdateI->CheckVersion(interactive ? 0 : TUpdateI::SilentCheckLimitMs);
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
