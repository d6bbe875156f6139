// Base objects of the class-library layer: objects, components, exceptions
// and event types. Every window, control and table of the program builds on these.
#pragma once

#include <QByteArray>
#include <QString>

#include <exception>
#include <functional>
#include <vector>

using AnsiString = QString;  // text is UTF-16 inside; CP1251 only at file boundaries

class TObject {
public:
    virtual ~TObject() = default;
    virtual QString ClassName() const { return QStringLiteral("TObject"); }
};

// The class library's exception: everything the program throws derives from it.
class Exception : public std::exception {
public:
    explicit Exception(QString message = {});
    QString Message;
    const char* what() const noexcept override;

private:
    mutable QByteArray utf8_;
};

#define QUARNEL_EXCEPTION(Name)                    \
    class Name : public Exception {                \
    public:                                        \
        using Exception::Exception;                \
    }

QUARNEL_EXCEPTION(EConvertError);
QUARNEL_EXCEPTION(EDatabaseError);
QUARNEL_EXCEPTION(EListError);
QUARNEL_EXCEPTION(EInOutError);
QUARNEL_EXCEPTION(EPrinter);
QUARNEL_EXCEPTION(EInvalidOperation);
QUARNEL_EXCEPTION(EInvalidGraphic);

// The EListError text for an index outside a list.
QString ListIndexText(int index);

using TNotifyEvent = std::function<void(TObject* Sender)>;
using TCloseQueryEvent = std::function<void(TObject* Sender, bool& CanClose)>;

enum class TCloseAction { caNone, caHide, caFree, caMinimize };
using TCloseEvent = std::function<void(TObject* Sender, TCloseAction& Action)>;

enum TShiftFlag : unsigned { ssShift = 1, ssAlt = 2, ssCtrl = 4, ssLeft = 8, ssRight = 16, ssDouble = 32 };
using TShiftState = unsigned;
using WORD = unsigned short;
using TKeyEvent = std::function<void(TObject* Sender, WORD& Key, TShiftState Shift)>;
using TKeyPressEvent = std::function<void(TObject* Sender, char16_t& Key)>;

// Binds a member handler: OnClick = Handler(this, &TMain::OrderBtnClick).
template <class C, class... A>
auto Handler(C* self, void (C::*fn)(A...))
{
    return [self, fn](A... args) { (self->*fn)(std::forward<A>(args)...); };
}

// Non-visual components carry a name and an owner that lists them, so that code
// can look a table up by its component name. Widgets report their object name.
class TComponent : public TObject {
public:
    explicit TComponent(TComponent* owner = nullptr);
    ~TComponent() override;
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    virtual QString Name() const { return name_; }
    virtual void SetName(const QString& name) { name_ = name; }
    TComponent* Owner() const { return owner_; }

    int ComponentCount() const { return static_cast<int>(components_.size()); }
    TComponent* Components(int index) const;
    // Case-insensitive (Cyrillic too); nullptr when not found.
    TComponent* FindComponent(const QString& name) const;

    int Tag = 0;

private:
    QString name_;
    TComponent* owner_ = nullptr;
    std::vector<TComponent*> components_;
};

// Windows and data modules: a creation handler run by CreateForm, a
// destruction handler run when the application destroys them at exit.
struct TLifecycle {
    virtual ~TLifecycle() = default;
    TNotifyEvent OnCreate;
    TNotifyEvent OnDestroy;
};

// Runs a handler the window system dispatched; an exception is shown in the
// standard exception box instead of unwinding through the event loop. While
// handlers are held it runs nothing.
void SafeCall(const std::function<void()>& fn);

// Holds every handler for as long as it lives: while the windows are being
// destroyed, what the window system sends them (focus leaving a control, a
// window hidden) must not run code of a window or table already gone.
class THoldHandlers {
public:
    THoldHandlers();
    ~THoldHandlers();
    THoldHandlers(const THoldHandlers&) = delete;
    THoldHandlers& operator=(const THoldHandlers&) = delete;
};
bool HandlersHeld();
