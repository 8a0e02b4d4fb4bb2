// pagewright: the window.
#include <QApplication>

#include "window/form1.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    application.setApplicationName(QStringLiteral("Pagewright"));
    pw::Form1 window;
    window.show();
    return application.exec();
}
