#include "platform/qtapp.h"

#include "app/startup.h"
#include "platform/locale.h"
#include "platform/sysutils.h"

int main(int argc, char** argv)
{
    StartDir();  // the working directory the text files of defaults are read from
    TQtApplication app(argc, argv);
    LoadSystemLocale();
    return WinMain();
}
