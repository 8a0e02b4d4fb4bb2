// pagewright-window-bench: a pages run driven through the window, offscreen, timed.
//
//   pagewright-window-bench --data FILE --model FILE --dest DIR [--separator C] [--lang fr|en]
//
// Names each page from the first column and titles it from the second, like
// `pagewright-cli pages --name-tags first --title-tag second`. Prints the seconds the Start
// click took on standard output and the pages written on standard error. Uses a throw-away
// home, settings file and registry. Exit status 0 when the run completed, 1 otherwise.
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QWindow>
#include <cstdio>
#include <cstring>
#include <string>

#include "engine/separators.h"
#include "window/form1.h"

int main(int argc, char** argv) {
    std::string data, model, dest, lang = "en";
    char separator = ';';
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--data") == 0) {
            data = argv[i + 1];
        } else if (std::strcmp(argv[i], "--model") == 0) {
            model = argv[i + 1];
        } else if (std::strcmp(argv[i], "--dest") == 0) {
            dest = argv[i + 1];
        } else if (std::strcmp(argv[i], "--separator") == 0) {
            separator = argv[i + 1][0];
        } else if (std::strcmp(argv[i], "--lang") == 0) {
            lang = argv[i + 1];
        } else {
            std::fprintf(stderr, "pagewright-window-bench: unknown option %s\n", argv[i]);
            return 2;
        }
    }
    if (data.empty() || model.empty() || dest.empty() || (argc - 1) % 2 != 0) {
        std::fprintf(stderr,
                     "usage: pagewright-window-bench --data FILE --model FILE --dest DIR "
                     "[--separator C] [--lang fr|en]\n");
        return 2;
    }

    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir home;
    qputenv("HOME", home.path().toUtf8());
    qputenv("XDG_CONFIG_HOME", (home.path() + "/.config").toUtf8());
    qputenv("PAGEWRIGHT_INI", (home.path() + "/PgWright.ini").toUtf8());
    qputenv("PAGEWRIGHT_REGISTRY", (home.path() + "/registry.reg").toUtf8());
    QDir(home.path()).mkpath(QStringLiteral("run"));
    QFile::setPermissions(home.path() + "/run",
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", (home.path() + "/run").toUtf8());
    QApplication application(argc, argv);

    QString lastMessage;
    pw::WindowServices services;
    services.messageBox = [&](pw::RunHost::Icon, const QString& text) { lastMessage = text; };
    pw::Form1 window(services);
    if (lang == "fr") {
        window.francais_Click();
    } else {
        window.anglais_Click();
    }
    window.show();
    window.findChild<QTabWidget*>(QStringLiteral("onglet"))->setCurrentIndex(0);
    window.findChild<QRadioButton*>(QStringLiteral("Option1"))->click();
    window.findChild<QRadioButton*>(QStringLiteral("titrep1"))->click();
    auto* separators = window.findChild<QComboBox*>(QStringLiteral("separateur"));
    separators->setCurrentIndex(pw::separatorIndex(separator).value_or(0));
    window.findChild<QLineEdit*>(QStringLiteral("source"))->setText(QString::fromStdString(data));
    window.findChild<QLineEdit*>(QStringLiteral("fichiermodele"))
        ->setText(QString::fromStdString(model));
    window.findChild<QLineEdit*>(QStringLiteral("destination"))
        ->setText(QString::fromStdString(dest));
    // A person clicks a window that is already drawn: let it be exposed and painted first.
    QElapsedTimer settle;
    settle.start();
    while (!(window.windowHandle() && window.windowHandle()->isExposed()) &&
           settle.elapsed() < 2000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    window.repaint();
    QCoreApplication::processEvents();

    QElapsedTimer clock;
    clock.start();
    window.findChild<QPushButton*>(QStringLiteral("Command1"))->click();
    double seconds = clock.nsecsElapsed() / 1e9;

    bool completed = lastMessage == QStringLiteral("Process done...") ||
                     lastMessage == QStringLiteral("Traitement terminé...");
    std::printf("%.3f\n", seconds);
    std::fprintf(stderr, "%s\n", qPrintable(lastMessage));
    return completed ? 0 : 1;
}
