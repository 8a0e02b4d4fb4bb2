// pagewright-screenshots OUTDIR: renders the window offscreen into PNG files of OUTDIR: each
// tab in both languages, the naming from tags with a help text, the data file and destination
// pickers open, the hyperlinks tab's picker and link-prefix help, both runs of the index tab
// with a picker of each open, a run in progress and the stop message over the window.
//
// Everything it touches lies in a demonstration folder of its own under the temporary
// directory (home, settings file, registry, a copy of the sample files), so the pictures show
// tidy paths and nothing of the user's is read or written.
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QThread>
#include <QTimer>
#include <cstdio>

#include "window/form1.h"

namespace {

bool savePixmap(const QPixmap& pixmap, const QString& folder, const QString& name) {
    QString path = QDir(folder).filePath(name + QStringLiteral(".png"));
    bool ok = pixmap.save(path);
    std::printf("%s %s\n", ok ? "wrote" : "FAILED", qPrintable(path));
    return ok;
}

bool save(QWidget& widget, const QString& folder, const QString& name) {
    return savePixmap(widget.grab(), folder, name);
}

// The window with a message box drawn over its centre, as a person sees it.
QPixmap windowWithBox(QWidget& window, QWidget& box) {
    QPixmap picture = window.grab();
    QPixmap boxPicture = box.grab();
    QPainter painter(&picture);
    QRect place(QPoint(0, 0), boxPicture.size());
    place.moveCenter(picture.rect().center());
    painter.fillRect(place.translated(4, 4), QColor(0, 0, 0, 60));
    painter.drawPixmap(place.topLeft(), boxPicture);
    painter.setPen(QColor(0x70, 0x70, 0x70));
    painter.drawRect(place.adjusted(0, 0, -1, -1));
    return picture;
}

void copyTree(const QString& from, const QString& to) {
    QDirIterator it(from, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QString file = it.next();
        QString target = to + file.mid(from.size());
        QDir().mkpath(QFileInfo(target).path());
        QFile::copy(file, target);
    }
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

// Escape in one of a picker's lists, as a person closes it without choosing.
void pressEscape(QWidget& window, const char* list) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(window.findChild<QWidget*>(QString::fromLatin1(list)), &press);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: pagewright-screenshots OUTDIR\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    const QString root = QDir::tempPath() + QStringLiteral("/pagewright-demo");
    QDir(root).removeRecursively();
    const QString home = root + QStringLiteral("/home/anna");
    QDir().mkpath(home + QStringLiteral("/.config"));
    QDir().mkpath(root + QStringLiteral("/run"));
    QFile::setPermissions(root + "/run",
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    qputenv("HOME", home.toUtf8());
    qputenv("XDG_CONFIG_HOME", (home + "/.config").toUtf8());
    qputenv("PAGEWRIGHT_INI", (home + "/.config/PgWright.ini").toUtf8());
    qputenv("PAGEWRIGHT_REGISTRY", (home + "/.config/pagewright/registry.reg").toUtf8());
    qputenv("XDG_RUNTIME_DIR", (root + "/run").toUtf8());

    QApplication application(argc, argv);
    const QString out = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(out);
    const QString install = root + QStringLiteral("/opt/pagewright/");
    for (const char* folder : {"Français", "English", "Bin"}) {
        copyTree(QCoreApplication::applicationDirPath() + "/" + QString::fromUtf8(folder),
                 install + QString::fromUtf8(folder));
    }
    bool ok = true;

    pw::Form1* shown = nullptr;
    QString boxName;
    pw::WindowServices services;
    services.installDir = [&] { return install.toStdString(); };
    services.messageBox = [&](pw::RunHost::Icon icon, const QString& text) {
        QMessageBox box(
            icon == pw::RunHost::Icon::Critical ? QMessageBox::Critical : QMessageBox::Information,
            QStringLiteral("Pagewright"), text);
        box.show();
        std::printf("message: %s\n", qPrintable(text));
        if (shown != nullptr && !boxName.isEmpty()) {
            ok = savePixmap(windowWithBox(*shown, box), out, boxName) && ok;
            boxName.clear();
        }
    };
    pw::Form1 window(services);
    shown = &window;
    window.show();
    auto* tabs = window.findChild<QTabWidget*>(QStringLiteral("onglet"));
    // The link prefix as a person would write it, so the tab reads like the link it makes.
    window.findChild<QLineEdit*>(QStringLiteral("Tag99"))
        ->setText(QStringLiteral("https://www.example.com/catalogue/"));

    const struct {
        const char* name;
        void (pw::Form1::*select)();
    } languages[] = {{"fr", &pw::Form1::francais_Click}, {"en", &pw::Form1::anglais_Click}};
    for (const auto& language : languages) {
        (window.*language.select)();
        window.findChild<QRadioButton*>(QStringLiteral("Option3"))->click();
        for (int tab = 0; tab < 3; ++tab) {
            tabs->setCurrentIndex(tab);
            ok =
                save(window, out, QStringLiteral("tab%1_%2").arg(tab + 1).arg(language.name)) && ok;
        }
        // The index tab's other run, and a picker of each of the two last tabs.
        window.i10_DblClick();
        ok = save(window, out, QStringLiteral("picker_index_%1").arg(language.name)) && ok;
        pressEscape(window, "i12");
        window.findChild<QRadioButton*>(QStringLiteral("Option4"))->click();
        ok = save(window, out, QStringLiteral("tab3_yearbook_%1").arg(language.name)) && ok;
        window.i30_DblClick();
        ok = save(window, out, QStringLiteral("picker_yearbook_%1").arg(language.name)) && ok;
        pressEscape(window, "i32");
        window.findChild<QRadioButton*>(QStringLiteral("Option3"))->click();
        tabs->setCurrentIndex(1);
        window.hyperdir_DblClick();
        ok = save(window, out, QStringLiteral("picker_links_%1").arg(language.name)) && ok;
        pressEscape(window, "Dirlist");
        window.showFieldHelp(QStringLiteral("Tag99"));
        ok = save(window, out, QStringLiteral("links_help_%1").arg(language.name)) && ok;
        window.clearFieldHelp();
        tabs->setCurrentIndex(0);
        // Naming from tags, with two tags chosen and the example shown, and a help text.
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
        pressEscape(window, "ficsource");
        window.destination_DblClick();
        ok = save(window, out, QStringLiteral("picker_destination_%1").arg(language.name)) && ok;
        pressEscape(window, "dirdestination");
    }

    // A run in progress, then the stop box, over a generated data file.
    const QString work = home + QStringLiteral("/catalogue");
    QDir().mkpath(work);
    writeDataFile(work + "/catalogue.txt", 400);
    window.findChild<QLineEdit*>(QStringLiteral("source"))->setText(work + "/catalogue.txt");
    auto* start = window.findChild<QPushButton*>(QStringLiteral("Command1"));
    for (const auto& language : languages) {
        (window.*language.select)();
        QString pages = work + QStringLiteral("/pages-") + language.name + "/";
        QDir().mkpath(pages);
        window.findChild<QLineEdit*>(QStringLiteral("destination"))->setText(pages);
        // The pump hook grabs the window part-way through the run, then clicks Stop.
        int pumps = 0;
        window.setPumpHook([&] {
            ++pumps;
            if (pumps == 1) {
                // A click that stops a run comes later than the second click of a double-click
                // on Start would.
                QThread::msleep(QApplication::doubleClickInterval());
            } else if (pumps == 150) {
                // Past the repaint interval, so the next progress call paints.
                QThread::msleep(50);
            } else if (pumps == 152) {
                ok = save(window, out, QStringLiteral("run_%1").arg(language.name)) && ok;
                boxName = QStringLiteral("stopped_%1").arg(language.name);
                QTimer::singleShot(0, start, &QPushButton::click);
            }
        });
        window.Command1_Click();
        window.setPumpHook(nullptr);
    }
    QDir(root).removeRecursively();
    return ok ? 0 : 1;
}
