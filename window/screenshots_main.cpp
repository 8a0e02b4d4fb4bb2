// pagewright-screenshots OUTDIR: renders the window offscreen, for each tab in both languages,
// with a picker open, during a run and with the stop message, into PNG files of OUTDIR.
// Uses a throw-away home, settings file and registry so nothing of the user's is touched.
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <cstdio>
#include <cstdlib>

#include "window/form1.h"

namespace {

bool save(QWidget& widget, const QString& folder, const QString& name) {
    QString path = QDir(folder).filePath(name + QStringLiteral(".png"));
    bool ok = widget.grab().save(path);
    std::printf("%s %s\n", ok ? "wrote" : "FAILED", qPrintable(path));
    return ok;
}

void writeDataFile(const QString& path, int records) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return;
    }
    for (int i = 1; i <= records; ++i) {
        file.write(QStringLiteral("item%1;Item number %1;%2 EUR;in stock;Notes on item %1\n")
                       .arg(i)
                       .arg(10 + i % 90)
                       .toUtf8());
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: pagewright-screenshots OUTDIR\n");
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
    const QString out = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(out);
    bool ok = true;

    // Message boxes are rendered as pictures instead of waiting for a click.
    QString lastBox;
    pw::WindowServices services;
    services.messageBox = [&](pw::RunHost::Icon icon, const QString& text) {
        QMessageBox box(
            icon == pw::RunHost::Icon::Critical ? QMessageBox::Critical : QMessageBox::Information,
            QStringLiteral("Pagewright"), text);
        box.show();
        ok = save(box, out, lastBox) && ok;
    };
    pw::Form1 window(services);
    window.show();
    auto* tabs = window.findChild<QTabWidget*>(QStringLiteral("onglet"));

    const struct {
        const char* name;
        void (pw::Form1::*select)();
    } languages[] = {{"fr", &pw::Form1::francais_Click}, {"en", &pw::Form1::anglais_Click}};
    for (const auto& language : languages) {
        (window.*language.select)();
        for (int tab = 0; tab < 3; ++tab) {
            tabs->setCurrentIndex(tab);
            ok =
                save(window, out, QStringLiteral("tab%1_%2").arg(tab + 1).arg(language.name)) && ok;
        }
        tabs->setCurrentIndex(0);
        // Naming from tags, with two tags chosen and the example shown.
        window.findChild<QRadioButton*>(QStringLiteral("Option2"))->click();
        auto* list0 = window.findChild<QComboBox*>(QStringLiteral("nomdufichierhtm0"));
        auto* list1 = window.findChild<QComboBox*>(QStringLiteral("nomdufichierhtm1"));
        list0->setCurrentIndex(0);
        window.nomdufichierhtm_Click(0);
        list1->setCurrentIndex(2);
        window.nomdufichierhtm_Click(1);
        window.findChild<QRadioButton*>(QStringLiteral("titrep2"))->click();
        auto* list4 = window.findChild<QComboBox*>(QStringLiteral("nomdufichierhtm4"));
        list4->setCurrentIndex(1);
        window.nomdufichierhtm_Click(4);
        window.showFieldHelp(QStringLiteral("fichiermodele"));
        ok = save(window, out, QStringLiteral("naming_%1").arg(language.name)) && ok;
        window.clearFieldHelp();
        window.findChild<QRadioButton*>(QStringLiteral("Option1"))->click();
        window.findChild<QRadioButton*>(QStringLiteral("titrep1"))->click();

        window.source_DblClick();
        ok = save(window, out, QStringLiteral("picker_%1").arg(language.name)) && ok;
        window.ficsource_KeyPress(27);
        window.destination_DblClick();
        ok = save(window, out, QStringLiteral("picker_destination_%1").arg(language.name)) && ok;
        window.dirdestination_KeyPress(27);
    }

    // A run in progress, then the stop box, over a generated data file.
    QString work = home.path() + "/work";
    QDir().mkpath(work + "/pages");
    writeDataFile(work + "/data.txt", 400);
    auto* sourceField = window.findChild<QLineEdit*>(QStringLiteral("source"));
    auto* destinationField = window.findChild<QLineEdit*>(QStringLiteral("destination"));
    sourceField->setText(work + "/data.txt");
    destinationField->setText(work + "/pages/");
    auto* start = window.findChild<QPushButton*>(QStringLiteral("Command1"));
    for (const auto& language : languages) {
        (window.*language.select)();
        lastBox = QStringLiteral("stopbox_%1").arg(language.name);
        // The pump hook grabs the window part-way through the run, then clicks Stop.
        int pumps = 0;
        window.setPumpHook([&] {
            ++pumps;
            if (pumps == 150) {
                // Past the repaint interval, so the next progress call paints.
                QThread::msleep(50);
            } else if (pumps == 152) {
                ok = save(window, out, QStringLiteral("run_%1").arg(language.name)) && ok;
                QTimer::singleShot(0, start, &QPushButton::click);
            }
        });
        window.Command1_Click();
        window.setPumpHook(nullptr);
    }
    return ok ? 0 : 1;
}
