// Creates the table files the program expects to find in its data folder
// (all but ae.db, which the program creates itself). Existing files are kept.
#include "data/tables.h"

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTextStream err(stderr);
    if (argc != 2) {
        err << "usage: make_datafolder FOLDER\n";
        return 2;
    }
    try {
        const QStringList created = CreateShippedTables(QString::fromLocal8Bit(argv[1]));
        for (const QString& f : created)
            QTextStream(stdout) << "created " << f << "\n";
    } catch (const Exception& e) {
        err << e.Message << "\n";
        return 1;
    }
    return 0;
}
