// pagewright: the window.
#include <QApplication>
#include <cstdio>
#include <string_view>

#include "pagewright_version.h"
#include "window/form1.h"

int main(int argc, char** argv) {
    // --help and --version answer on the terminal; the window is not opened for them.
    for (int i = 1; i < argc; ++i) {
        std::string_view arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::fputs(
                "usage: pagewright [--help | --version]\n"
                "\n"
                "Opens the Pagewright window, which publishes a table as a small web site from\n"
                "an HTML model page and a data file. The same runs without a window:\n"
                "pagewright-cli --help.\n"
                "\n"
                "  -h, --help     print this help and exit\n"
                "  -V, --version  print the version and exit\n",
                stdout);
            return 0;
        }
        if (arg == "--version" || arg == "-V") {
            std::puts("pagewright " PAGEWRIGHT_VERSION);
            return 0;
        }
    }
    QApplication application(argc, argv);
    application.setApplicationName(QStringLiteral("Pagewright"));
    application.setApplicationVersion(QStringLiteral(PAGEWRIGHT_VERSION));
    pw::Form1 window;
    window.show();
    return application.exec();
}
