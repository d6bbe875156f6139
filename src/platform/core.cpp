#include "platform/core.h"

#include "platform/application.h"

#include <algorithm>
#include <new>

Exception::Exception(QString message) : Message(std::move(message)) {}

const char* Exception::what() const noexcept
{
    utf8_ = Message.toUtf8();
    return utf8_.constData();
}

TComponent::TComponent(TComponent* owner) : owner_(owner)
{
    if (owner_)
        owner_->components_.push_back(this);
}

TComponent::~TComponent()
{
    if (owner_) {
        auto& list = owner_->components_;
        list.erase(std::remove(list.begin(), list.end(), this), list.end());
    }
    // An owner destroys what it owns, newest first; each one leaves the list as
    // it goes (and may take others with it, as a panel takes its controls).
    while (!components_.empty())
        delete components_.back();
}

QString ListIndexText(int index)
{
    return QStringLiteral("Вътрешна грешка: позиция %1 е извън списъка.\nЗатворете прозореца и опитайте отново.").arg(index);
}

TComponent* TComponent::Components(int index) const
{
    if (index < 0 || index >= ComponentCount())
        throw EListError(ListIndexText(index));
    return components_[static_cast<size_t>(index)];
}

TComponent* TComponent::FindComponent(const QString& name) const
{
    for (TComponent* c : components_)
        if (c->Name().compare(name, Qt::CaseInsensitive) == 0)
            return c;
    return nullptr;
}

namespace {
int handlersHeld = 0;
}

THoldHandlers::THoldHandlers() { ++handlersHeld; }
THoldHandlers::~THoldHandlers() { --handlersHeld; }
bool HandlersHeld() { return handlersHeld > 0; }

void SafeCall(const std::function<void()>& fn)
{
    if (HandlersHeld())
        return;
    try {
        fn();
    } catch (const Exception& e) {
        Application->ShowException(e);
    } catch (const std::bad_alloc&) {
        Application->ShowException(Exception(QStringLiteral("Няма достатъчно памет.\nЗатворете други програми и "
                                                            "опитайте отново.")));
    } catch (...) {
        // The standard library's texts are English and technical.
        Application->ShowException(Exception(QStringLiteral("Вътрешна грешка: действието не може да бъде завършено.\n"
                                                            "Опитайте отново.")));
    }
}
