#pragma once

#include "platform/forms.h"
#include "platform/strings.h"

#include "ui_mainform.h"

class TMainMenu;
class TMenuItem;

// The main window: picture buttons and menus that open the other windows.
// Its caption carries the version the update check compares.
class TMain : public TForm, public Ui::TMain {
public:
    explicit TMain(TComponent* owner = nullptr);

    // Bulgarian captions of the page labels; created and filled by the page window.
    TStringList* BgCaptions = nullptr;
    TMainMenu* MainMenu = nullptr;

    void FormCreate(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
    void OrderBtnClick(TObject* Sender);
    void ReportBtnClick(TObject* Sender);
    void SpeedButton7Click(TObject* Sender);
    void SpeedButton3Click(TObject* Sender);
    void SpeedButton1Click(TObject* Sender);
    void SpeedButton5Click(TObject* Sender);
    void SpeedButton9Click(TObject* Sender);
    void SpeedButton4Click(TObject* Sender);
    void SpeedButton2Click(TObject* Sender);
    void FilePrinterSetupClick(TObject* Sender);
    void N9Click(TObject* Sender);
    void N8Click(TObject* Sender);

    // The editor blanked for a new invoice of the current company, shown
    // or left as it is; asks nothing.
    void BlankDocument(bool show);
    // Whether the program may leave what is open: the open document's
    // question, then every window's pending edits, then every table still
    // being edited. False, with everything left as it was, on a refusal.
    bool SettlePendingWork();
    void FormCloseQuery(TObject* Sender, bool& CanClose);

    // Asks the update server for a newer version; interactive reports the outcome.
    void CheckForUpdate(bool interactive);

private:
    void BuildMenu();
};

extern TMain* Main;
