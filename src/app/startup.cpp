#include "app/startup.h"

#include "platform/application.h"

int WinMain()
{
    Application->Initialize();
    Application->Title = QStringLiteral("Quarnel");
    Application->Run();
    return 0;
}
