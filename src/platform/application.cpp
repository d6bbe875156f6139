#include "platform/application.h"

#include "platform/dialogs.h"
#include "platform/forms.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>

static TApplication applicationInstance;
TApplication* Application = &applicationInstance;

TApplication::TApplication() : TComponent(nullptr), Title(QStringLiteral("Quarnel")) {}

TApplication::~TApplication() = default;

void TApplication::Adopt(TComponent* c)
{
    owned_.push_back(c);
    if (!mainForm_)
        if (auto* f = dynamic_cast<TForm*>(c))
            mainForm_ = f;
}

void TApplication::AddFixup(std::function<bool()> tryResolve)
{
    if (!tryResolve())
        fixups_.push_back(std::move(tryResolve));
}

void TApplication::ResolveFixups()
{
    auto pending = std::move(fixups_);
    fixups_.clear();
    for (auto& f : pending)
        if (!f())
            fixups_.push_back(std::move(f));
}

void TApplication::Run()
{
    if (terminated_ || !mainForm_)
        return;  // the main form was closed during start-up: end at once
    mainForm_->Show();
    running_ = true;
    QApplication::exec();
    running_ = false;
}

void TApplication::Terminate()
{
    terminated_ = true;
    // Not quit(): that asks every window to close first, and one that refuses
    // (or fails) would keep the program running. Outside the loop, Run ends
    // at once instead (an exit here would end the next modal dialog's loop).
    if (running_)
        QCoreApplication::exit(0);
}

void TApplication::ShowException(const Exception& e)
{
    MessageBox(nullptr, e.Message, Title, TMsgIcon::Error);
}

void TApplication::DestroyComponents()
{
    // A window destroyed with the focus in it, or hidden as it goes, would
    // otherwise run its controls' handlers on itself half destroyed and on
    // the windows and tables destroyed before it.
    const THoldHandlers hold;
    while (!owned_.empty()) {
        TComponent* c = owned_.back();
        owned_.pop_back();
        if (auto* l = dynamic_cast<TLifecycle*>(c); l && l->OnDestroy) {
            try {
                l->OnDestroy(c);
            } catch (const Exception& e) {
                ShowException(e);
            } catch (...) {
            }
        }
        delete c;
    }
    mainForm_ = nullptr;
    terminated_ = false;
    fixups_.clear();
}

QString TApplication::ExeName() const
{
    if (!exeName_.isEmpty())
        return exeName_;
    return QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget();
}

QString TApplication::InstallDir() const { return QFileInfo(ExeName()).absolutePath(); }

QString InstallPath(const QString& fileName) { return Application->InstallDir() + QLatin1Char('/') + fileName; }
