#include "platform/forms.h"

#include "platform/application.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QGuiApplication>
#include <QScreen>

TForm::TForm(TComponent* owner) : QWidget(nullptr), TControl(this)
{
    (void)owner;  // the application adopts its forms in CreateForm
    setAttribute(Qt::WA_DeleteOnClose, false);
}

void TForm::Loaded()
{
    ::LoadDesignProperties(this);
    if (const int p = DesignEnum(this, "Position", {"poDesigned", "poScreenCenter"}); p >= 0)
        Position = TPosition(p);
    DesignBool(this, "StayOnTop", StayOnTop);
    if (StayOnTop)
        setWindowFlag(Qt::WindowStaysOnTopHint, true);
}

void TForm::SetBounds(int left, int top, int width, int height)
{
    move(left, top);
    resize(std::max(0, width), std::max(0, height));
    CheckResize();
}

void TForm::SetClientSize(int width, int height)
{
    resize(width, height);
    CheckResize();
}

void TForm::Show()
{
    const bool wasHidden = !isVisible();
    if (wasHidden && Position == TPosition::poScreenCenter) {
        const QSize s = frameGeometry().size().isEmpty() ? size() : frameGeometry().size();
        move((Screen->Width() - s.width()) / 2, (Screen->Height() - s.height()) / 2);
    }
    if (WindowState == TWindowState::wsMaximized)
        QWidget::showMaximized();
    else
        QWidget::show();
    raise();
    activateWindow();
    if (wasHidden && OnShow)
        OnShow(this);
}

void TForm::Hide() { QWidget::hide(); }

void TForm::SetVisible(bool v)
{
    if (v)
        Show();
    else
        Hide();
}

void TForm::Close()
{
    if (closing_)
        return;  // Close() from inside OnClose must not recurse
    closing_ = true;
    struct Reset {
        bool& f;
        ~Reset() { f = false; }
    } reset{closing_};

    if (!CloseQuery())
        return;
    TCloseAction action = TCloseAction::caHide;
    if (OnClose)
        OnClose(this, action);
    if (action == TCloseAction::caNone)
        return;
    QWidget::hide();
    if (Application && Application->MainForm() == this)
        Application->Terminate();
}

bool TForm::CloseQuery()
{
    bool canClose = true;
    if (OnCloseQuery)
        OnCloseQuery(this, canClose);
    return canClose;
}

void TForm::Update()
{
    repaint();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

TControl* TForm::FindControl(const QString& name) const
{
    for (QWidget* w : findChildren<QWidget*>())
        if (w->objectName().compare(name, Qt::CaseInsensitive) == 0)
            if (TControl* c = AsControl(w))
                return c;
    return nullptr;
}

void TForm::closeEvent(QCloseEvent* e)
{
    // The close box: run the class library's close sequence; we hide ourselves.
    e->ignore();
    SafeCall([this] { Close(); });
}

void TForm::resizeEvent(QResizeEvent* e)
{
    QWidget::resizeEvent(e);
    SafeCall([this] { CheckResize(); });
}

void TForm::mousePressEvent(QMouseEvent* e)
{
    QWidget::mousePressEvent(e);
    if (OnClick)
        SafeCall([this] { OnClick(this); });
}

// ---- TScreen ----

int TScreen::Width() const
{
    QScreen* s = QGuiApplication::primaryScreen();
    return s ? s->geometry().width() : 1024;
}

int TScreen::Height() const
{
    QScreen* s = QGuiApplication::primaryScreen();
    return s ? s->geometry().height() : 768;
}

QPoint TScreen::CursorPos() const { return QCursor::pos(); }

static TScreen screenInstance;
TScreen* Screen = &screenInstance;
