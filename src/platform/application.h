// The application object: owns every window and the data module, runs the
// message loop and reports exceptions that reach it.
#pragma once

#include "platform/core.h"

#include <QString>

class TForm;

class TApplication : public TComponent {
public:
    TApplication();
    ~TApplication() override;

    void Initialize() {}
    QString Title;

    // Constructs the window with this object as owner, runs its OnCreate (an
    // exception there is shown and start-up goes on), then stores the pointer.
    // The first form created becomes MainForm.
    template <class T>
    void CreateForm(T*& ptr)
    {
        T* obj = new T(this);
        Adopt(obj);
        if (obj->OnCreate)
            SafeCall([obj] { obj->OnCreate(obj); });
        ptr = obj;
        ResolveFixups();
    }

    // A reference a window's design makes to a component of another window or
    // data module: tried at once and again after every CreateForm until it
    // resolves (returns true).
    void AddFixup(std::function<bool()> tryResolve);
    void ResolveFixups();

    TForm* MainForm() const { return mainForm_; }
    void Run();
    void Terminate();
    bool Terminated() const { return terminated_; }
    void ShowException(const Exception& e);

    // Destroys the owned windows and data modules, newest first, running OnDestroy.
    void DestroyComponents();

    // The program's own executable and its folder (the install folder).
    QString ExeName() const;
    QString InstallDir() const;
    // Tests point the install folder at a temporary folder.
    void SetExeName(const QString& exePath) { exeName_ = exePath; }

private:
    void Adopt(TComponent* c);
    TForm* mainForm_ = nullptr;
    bool terminated_ = false;
    bool running_ = false;  // inside Run's event loop
    QString exeName_;
    std::vector<TComponent*> owned_;
    std::vector<std::function<bool()>> fixups_;
};

extern TApplication* Application;
// Joins a folder and a file name with "/".
QString InstallPath(const QString& fileName);
