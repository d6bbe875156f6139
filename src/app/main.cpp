#include "platform/qtapp.h"

#include "app/startup.h"
#include "platform/locale.h"
#include "platform/sysutils.h"
#include "update/updatei.h"

#include <QLocale>

#include <cstdio>
#include <cstring>

int main(int argc, char** argv)
{
    // The check an update runs before it lets this file replace the program:
    // answer at once, with no window and no data touched.
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("%s\n", ProgramVersion().toLatin1().constData());
        return 0;
    }
    StartDir();  // the working directory the text files of defaults are read from
    TQtApplication app(argc, argv);
    LoadSystemLocale();
    LoadQtTranslations(QLocale::system().name());
    return WinMain();
}
