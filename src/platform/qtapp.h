// The Qt application object. A last line of defence: an exception that a
// handler let escape into Qt's event dispatch is shown in the standard
// exception box, and the program goes on.
#pragma once

#include <QApplication>

class TQtApplication : public QApplication {
public:
    TQtApplication(int& argc, char** argv) : QApplication(argc, argv) {}
    bool notify(QObject* receiver, QEvent* event) override;
};
