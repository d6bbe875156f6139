#pragma once

#include "platform/forms.h"

#include "ui_updatei.h"

#include <QString>

#include <functional>
#include <optional>

class TButton;
class TGauge;
class TLabel;

// Shown while an update asked for from the main window runs: what it does, how
// far the download is, and "Отказ", which stops it at once.
class TUpdateProgress : public TForm {
public:
    explicit TUpdateProgress(TComponent* owner = nullptr);
    TLabel* Label1;
    TGauge* CGauge1;
    TButton* Button1;  // "Отказ"
    bool Cancelled = false;
    // Lets the windows answer (they stay blocked for input but this one);
    // false once the user has cancelled.
    bool KeepGoing();
};

// Never shown: holds the outcome of the last update check and installs a new
// version of the program from the update server.
class TUpdateI : public TForm, public Ui::TUpdateI {
public:
    explicit TUpdateI(TComponent* owner = nullptr);

    // -1 no usable answer, 0 up to date, 1 the server has a newer version.
    int Status = -1;
    // The version file as received; the local number after a failed check.
    QString RemoteVersion;

    // Asks the server and compares its number with the main window's caption.
    // timeLimitMs > 0 bounds the whole request.
    void CheckVersion(int timeLimitMs = 0);
    // Fetches the version file; empty when there is no usable reply.
    void FetchRemoteVersion(int timeLimitMs = 0);
    // The silent check at start-up holds the splash window at most this long.
    static inline int SilentCheckLimitMs = 5000;
    // The install at start-up gives up after this long, or sooner when no byte
    // arrives for the stall time; the old program stays.
    static inline int StartUpInstallLimitMs = 30000;
    static inline int StartUpInstallStallMs = 10000;
    // Set while the installer runs for the check at start-up.
    bool StartingUp = false;
    // Installs the program from Edit1's address when Status is 1.
    void SpeedButton1Click(TObject* Sender);
    void SpeedButton2Click(TObject* Sender);

    // The update server, "http://host:port" or "https://host"; Edit1 follows it.
    QString Server() const { return server_; }
    void SetServer(const QString& address);

    // The new program must answer its check within this time.
    static inline int ProgramCheckLimitMs = 5000;
    // Shown while an update from the main window runs; nullptr otherwise.
    TUpdateProgress* Progress = nullptr;

    // Renames done by the installer; tests make one of them fail here.
    std::function<bool(const QString& from, const QString& to)> Rename;

private:
    enum class Outcome { Installed, Failed, TimedOut, Cancelled, NotRunnable };
    Outcome Install();
    // Starts the downloaded file in its check mode: it must answer with the
    // version the server announced, in time.
    Outcome CheckProgram(const QString& file);
    QString server_;
};

extern TUpdateI* UpdateI;

// Removes what a download killed half way left in the install folder.
void RemoveLeftoverDownload();

// This program's version, "3.6.8.10": the main window's caption ends with it,
// and "Orlendix --version" prints it.
QString ProgramVersion();
// The answer of "Orlendix --version" as a packed number; nullopt when it is
// not one version line.
std::optional<int> PackedVersionAnswer(const QByteArray& output);

// $QUARNEL_UPDATE_SERVER when set, otherwise the address the program was built with.
QString DefaultUpdateServer();
// Characters 1, 3, 5, 7 and 8 of the text after the caption's last blank:
// "... version 3.6.8.10" gives 36810. Raises EConvertError on another shape.
int PackedVersion(const QString& caption);
// The version file's number: the text without surrounding blanks and line
// breaks must be 1 to 9 decimal digits; anything else is no number.
std::optional<int> ParseRemoteVersion(const QString& text);
