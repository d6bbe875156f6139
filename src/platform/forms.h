// Windows (forms), the data module and the screen.
#pragma once

#include "platform/control.h"

#include <QWidget>

class TMainMenu;

enum class TPosition { poDesigned, poScreenCenter };
enum class TWindowState { wsNormal, wsMaximized, wsMinimized };

// A window: hidden after construction, hidden (never destroyed) on close; closing
// the application's main form ends the program.
class TForm : public QWidget, public TControl, public TLifecycle {
    Q_OBJECT
public:
    explicit TForm(TComponent* owner = nullptr);
    QString ClassName() const override { return QStringLiteral("TForm"); }

    QString Caption() const { return windowTitle(); }
    void SetCaption(const QString& c) { setWindowTitle(c); }
    QString Text() const override { return Caption(); }
    void SetText(const QString& t) override { SetCaption(t); }

    void SetBounds(int left, int top, int width, int height) override;
    void SetClientSize(int width, int height);

    // Shows without waiting, brings to the front; OnShow only on hidden -> shown.
    void Show();
    void Hide();
    void SetVisible(bool v) override;
    // OnCloseQuery, OnClose, then hide (or end the program for the main form).
    void Close();
    // Runs OnCloseQuery alone: whether the window may close now (its pending
    // work stored, or the user agreed to drop it).
    bool CloseQuery();
    // Paints at once, before any other event is processed.
    void Update();

    TPosition Position = TPosition::poDesigned;
    TWindowState WindowState = TWindowState::wsNormal;
    bool StayOnTop = false;
    TMainMenu* Menu = nullptr;

    TNotifyEvent OnShow;
    TCloseQueryEvent OnCloseQuery;
    TCloseEvent OnClose;

    // The component names of the window's controls, for code that looks them up.
    TControl* FindControl(const QString& name) const;

protected:
    // Call at the end of the derived constructor, after setupUi().
    void Loaded();
    void closeEvent(QCloseEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;

private:
    bool closing_ = false;
};

// A non-visual container of tables and data sources.
class TDataModule : public TComponent, public TLifecycle {
public:
    explicit TDataModule(TComponent* owner = nullptr) : TComponent(owner) {}
    QString ClassName() const override { return QStringLiteral("TDataModule"); }
};

class TScreen {
public:
    int Width() const;
    int Height() const;
    // The mouse cursor in screen pixels.
    QPoint CursorPos() const;
};
extern TScreen* Screen;
