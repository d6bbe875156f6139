#include "platform/qtapp.h"

#include "app/startup.h"
#include "platform/locale.h"
#include "platform/sysutils.h"

#include <QLocale>

int main(int argc, char** argv)
{
    StartDir();  // the working directory the text files of defaults are read from
    TQtApplication app(argc, argv);
    LoadSystemLocale();
    LoadQtTranslations(QLocale::system().name());
    return WinMain();
}
