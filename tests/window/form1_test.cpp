// The main window driven offscreen: defaults, Start/Stop, the progress frame, the tag lists and
// the naming example, language switch and activation, placement, Quit, the pages-tab pickers,
// the field help and the online help.
#include <fcntl.h>
#include <unistd.h>
#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStyleHints>
#include <QTabWidget>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <QToolButton>

#include <QTemporaryDir>
#include <cstdio>
#include <memory>
#include <stdexcept>

#include "pagewright_version.h"
#include "settings/profile.h"
#include "settings/settings_keys.h"
#include "tests/window/window_fixture.h"
#include "window/form1.h"
#include "window/list_widgets.h"
#include "window/progress_frame.h"

namespace pw::test {

namespace {

const QString kFrench = QStringLiteral("Français/");
const QString kEnglish = QStringLiteral("English/");

}  // namespace

class Form1Test : public QObject {
    Q_OBJECT
  private slots:
    void defaultsFillEveryTab();
    void languageCodeOtherThanFIsEnglish();
    void completedRunShowsOneDoneBox();
    void stopDuringRun_data();
    void stopDuringRun();
    void indexTabWithNeitherOptionCompletesAtOnce();
    void failureBeforeTheRunShowsTheFatalBoxAndEnds();
    void closingDuringRunStopsItQuietly();
    void runWithEmptyTagListsFallsBackToFirstMethods();
    void tagListsUsableAfterARun_data();
    void tagListsUsableAfterARun();
    void doubleClickOnStartRunsToTheEnd();
    void progressFrameShowsEverythingWhole_data();
    void progressFrameShowsEverythingWhole();
    void longNamingExampleNeverWidensTheWindow();
    void activationKeepsCaretAndUndo();
    void windowCentredOnItsShownSize();
    void languageSwitchSwapsOnlySamplePaths();
    void quitWithEmptyFirstListSelectsFirstNaming();
    void emptyingDestinationStoresNothing();
    void unsavableSettingsSaySoOnceAndChoicesLast();
    void namingExampleFollowsChosenTags();
    void destinationPicker_data();
    void destinationPicker();
    void dataFilePickerChoosesFileAndRestoresLists();
    void escapeLeavesFieldAndFile_data();
    void escapeLeavesFieldAndFile();
    void fieldHelpDisappearsAfterItsInterval();
    void tabChangeClearsHelp();
    void helpAddress_data();
    void helpAddress();
    void browserCommandKeepsQuotedPath();
    void noBrowserShowsMessage();
    void resetToDefaultsDropsTags();
    void loadRestoresNamingFromTags();
    void activationStoresSampleKeysEvenEmpty();
    void tabChangeEnablesStartOnlyWhenFieldsAreFilled();
    void registryFailureIsShownAndStartUpGoesOn();
    void driveListStartsWithRoot();
};

void Form1Test::defaultsFillEveryTab() {
    Fixture f;
    const QString inst = QString::fromStdString(f.env.installDir());
    QCOMPARE(f.field("source")->text(), inst + kFrench + "exemple_de_données.txt");
    QCOMPARE(f.field("fichiermodele")->text(), inst + kFrench + "exemple_de_modèle_html.htm");
    QCOMPARE(f.field("i30")->text(), inst + kFrench + "annuaire_données.csv");
    QCOMPARE(f.field("i50")->text(), inst + kFrench + "annuaire_modèle.htm");
    for (const char* name : {"destination", "hyperdir", "i10", "i20", "i40"}) {
        QCOMPARE(f.field(name)->text(), f.env.defaultDir());
    }
    QVERIFY(QDir(f.env.defaultDir()).exists());
    QCOMPARE(f.get<QComboBox>("sourcelien")->currentText(), QStringLiteral("Tag N°2"));
    QCOMPARE(f.get<QComboBox>("Textelien")->currentText(), QStringLiteral("Tag N°3"));
    QCOMPARE(f.get<QComboBox>("tagindex2")->currentText(), QStringLiteral("Tag N°2"));
    QCOMPARE(f.get<QComboBox>("Tagindex")->currentText(), QStringLiteral("Tag N°3"));
    QCOMPARE(f.get<QComboBox>("separateur")->currentText(), QStringLiteral(";"));
    QCOMPARE(f.get<QComboBox>("i33")->currentText(), QStringLiteral(";"));
    QCOMPARE(f.field("Tag99")->text(), QString());
    QVERIFY(f.get<QRadioButton>("Option1")->isChecked());
    QVERIFY(f.get<QRadioButton>("titrep1")->isChecked());
    QVERIFY(f.get<QRadioButton>("Option3")->isChecked());
    QVERIFY(f.field("i10")->isEnabled());
    QVERIFY(!f.field("i30")->isEnabled());
    for (int i = 0; i < 5; ++i) {
        auto* list = f.get<QComboBox>(qPrintable(QStringLiteral("nomdufichierhtm%1").arg(i)));
        QVERIFY(list->isHidden());
        QCOMPARE(list->count(), 99);
        QCOMPARE(list->currentText(), QString());
    }
    QCOMPARE(f.get<QComboBox>("sourcelien")->count(), 101);
    QCOMPARE(f.get<QPushButton>("Command1")->text(), QStringLiteral("Lancer"));
    QCOMPARE(f.get<QTabWidget>("onglet")->tabText(2), QStringLiteral("Créer des pages d'index"));
    QCOMPARE(f.window->windowTitle(), QStringLiteral("Pagewright " PAGEWRIGHT_VERSION
                                                     " - Générateur express de pages HTML"));
    QVERIFY(f.messages.empty());
    // The activation stored the four sample keys; the load stored the options.
    QCOMPARE(f.stored(kParametres, key::kSource), f.field("source")->text());
    QCOMPARE(f.stored(kIndex, key::kIndexModel), f.field("i50")->text());
    QCOMPARE(f.stored(kParametres, key::kOption), QStringLiteral("1"));
}

void Form1Test::languageCodeOtherThanFIsEnglish() {
    Fixture f([](WindowTestEnv& env) {
        env.writeFile(QStringLiteral("PgWright.ini"), "[Parametres]\r\nLangue=f\r\n");
    });
    QCOMPARE(f.window->language(), Language::English);
    QCOMPARE(f.get<QPushButton>("Command1")->text(), QStringLiteral("Start"));
    QCOMPARE(f.get<QLabel>("Label14")->text(), QStringLiteral("Symbol :"));
    QCOMPARE(f.get<QRadioButton>("Option1")->text(), QStringLiteral("First column of data file "));
    QCOMPARE(f.field("source")->text(),
             QString::fromStdString(f.env.installDir()) + kEnglish + "sample_data_file.txt");
}

void Form1Test::completedRunShowsOneDoneBox() {
    Fixture f;
    f.preparePagesRun(30);
    QString captionDuringRun;
    bool quitDuringRun = true;
    f.window->setPumpHook([&] {
        captionDuringRun = f.get<QPushButton>("Command1")->text();
        quitDuringRun = f.get<QPushButton>("Command2")->isEnabled();
    });
    f.get<QPushButton>("Command1")->click();
    QCOMPARE(captionDuringRun, QStringLiteral("Arrêter"));
    QVERIFY(!quitDuringRun);
    QCOMPARE(int(f.messages.size()), 1);
    QCOMPARE(f.messages[0].text, QStringLiteral("Traitement terminé..."));
    QCOMPARE(f.messages[0].icon, RunHost::Icon::Information);
    QCOMPARE(f.pagesWritten(), 30);
    QCOMPARE(f.get<QPushButton>("Command1")->text(), QStringLiteral("Lancer"));
    // The final values are shown: counters emptied, the status caption kept.
    QCOMPARE(f.get<QLabel>("Progressbar2")->text(), QString());
    QCOMPARE(f.get<QGroupBox>("Frame1")->title(),
             QStringLiteral("Génération des pages HTML en cours..."));
    QVERIFY(f.get<QWidget>("pictotal")->isVisibleTo(f.window.get()));
    QVERIFY(!f.window->runState().runInProgress);
}

void Form1Test::stopDuringRun_data() {
    QTest::addColumn<bool>("english");
    QTest::addColumn<QString>("stopped");
    QTest::addColumn<QString>("start");
    QTest::newRow("French") << false << QStringLiteral("Traitement interrompu...")
                            << QStringLiteral("Lancer");
    QTest::newRow("English") << true << QStringLiteral("Process stopped...")
                             << QStringLiteral("Start");
}

void Form1Test::stopDuringRun() {
    QFETCH(bool, english);
    QFETCH(QString, stopped);
    QFETCH(QString, start);
    Fixture f;
    if (english) {
        f.window->anglais_Click();
    }
    f.preparePagesRun(200);
    auto* button = f.get<QPushButton>("Command1");
    int pumps = 0;
    f.window->setPumpHook([&] {
        // Two clicks arrive at the fifth page, later than a double-click's second click would:
        // the second finds the stop already requested.
        if (++pumps == 5) {
            QThread::msleep(QApplication::doubleClickInterval());
            QTimer::singleShot(0, button, &QPushButton::click);
            QTimer::singleShot(0, button, &QPushButton::click);
        }
    });
    button->click();
    QCOMPARE(f.count(stopped), 1);
    QCOMPARE(int(f.messages.size()), 1);
    QCOMPARE(f.messages[0].icon, RunHost::Icon::Information);
    QCOMPARE(button->text(), start);
    QVERIFY(f.tabsSelectable());
    QVERIFY(f.get<QPushButton>("Command2")->isEnabled());
    QVERIFY(f.field("source")->isEnabled());
    QVERIFY(f.pagesWritten() < 200);
    QVERIFY(f.window->runState().stopRequested);
    QCOMPARE(f.get<QGroupBox>("Frame1")->title(), QString());
}

void Form1Test::indexTabWithNeitherOptionCompletesAtOnce() {
    Fixture f;
    f.window->anglais_Click();
    f.get<QTabWidget>("onglet")->setCurrentIndex(2);
    auto* option3 = f.get<QRadioButton>("Option3");
    option3->group()->setExclusive(false);
    option3->setChecked(false);
    f.get<QRadioButton>("Option4")->setChecked(false);
    f.get<QPushButton>("Command1")->click();
    QCOMPARE(int(f.messages.size()), 1);
    QCOMPARE(f.messages[0].text, QStringLiteral("Process done..."));
    QCOMPARE(f.messages[0].icon, RunHost::Icon::Information);
}

void Form1Test::failureBeforeTheRunShowsTheFatalBoxAndEnds() {
    // Nothing this window does before a run can fail; a progress frame that throws stands in.
    struct FailingForm : Form1 {
        using Form1::Form1;
        void showBarsAndClearHelp() override { throw std::runtime_error("progress frame"); }
    };
    WindowTestEnv env;
    QStringList boxes;
    int ended = 0;
    WindowServices services;
    services.messageBox = [&](RunHost::Icon, const QString& text) { boxes << text; };
    services.fatalBox = [&](const QString& title, const QString& text) {
        boxes << title + QStringLiteral("|") + text;
    };
    services.endProgram = [&] { ++ended; };
    services.installDir = [&] { return env.installDir(); };
    FailingForm window(services);
    window.anglais_Click();
    window.Command1_Click();
    QCOMPARE(boxes, QStringList{QStringLiteral("Erreur de lecture de fichier, le programme va "
                                               "quitter.|la ligne :\n\n n'est pas correcte.")});
    QCOMPARE(ended, 1);
    QCOMPARE(QApplication::overrideCursor(), nullptr);
}

void Form1Test::closingDuringRunStopsItQuietly() {
    Fixture f;
    f.preparePagesRun(200);
    f.window->show();
    int pumps = 0;
    f.window->setPumpHook([&] {
        if (++pumps == 3) {
            f.window->close();
        }
    });
    f.get<QPushButton>("Command1")->click();
    QVERIFY(f.messages.empty());
    QVERIFY(!f.window->runState().runInProgress);
    QVERIFY(f.pagesWritten() < 200);
    QVERIFY(!f.window->isVisible());
}

void Form1Test::runWithEmptyTagListsFallsBackToFirstMethods() {
    Fixture f;
    f.preparePagesRun(4);
    f.get<QRadioButton>("Option2")->click();
    f.get<QRadioButton>("titrep2")->click();
    f.get<QPushButton>("Command1")->click();
    QVERIFY(f.get<QRadioButton>("Option1")->isChecked());
    QVERIFY(f.get<QRadioButton>("titrep1")->isChecked());
    QCOMPARE(f.stored(kParametres, key::kOption), QStringLiteral("1"));
    QCOMPARE(f.stored(kParametres, key::kTitre), QStringLiteral("1"));
    // Named from the first column: page0.htm to page3.htm.
    QVERIFY(QFile::exists(f.env.path(QStringLiteral("run/out/page3.htm"))));
    QCOMPARE(f.pagesWritten(), 4);
}

void Form1Test::tagListsUsableAfterARun_data() {
    QTest::addColumn<bool>("namingFromTags");
    QTest::addColumn<bool>("refused");
    QTest::newRow("title from a tag, chosen after a run") << false << false;
    QTest::newRow("naming from tags, chosen before a run") << true << false;
    QTest::newRow("naming from tags, chosen before a refused start") << true << true;
}

void Form1Test::tagListsUsableAfterARun() {
    QFETCH(bool, namingFromTags);
    QFETCH(bool, refused);
    Fixture f;
    f.preparePagesRun(3);
    QComboBox* lists[5];
    for (int i = 0; i < 5; ++i) {
        lists[i] = f.get<QComboBox>(qPrintable(QStringLiteral("nomdufichierhtm%1").arg(i)));
    }
    if (namingFromTags) {
        f.get<QRadioButton>("Option2")->click();
        lists[0]->setCurrentIndex(0);
        emit lists[0]->activated(0);
    }
    if (refused) {
        f.field("destination")->clear();
    }
    f.get<QPushButton>("Command1")->click();
    QCOMPARE(int(f.messages.size()), 1);
    QCOMPARE(f.messages[0].text, refused ? QStringLiteral("Vous devez choisir un répertoire de "
                                                          "destination")
                                         : QStringLiteral("Traitement terminé..."));
    if (namingFromTags) {
        // The chosen list and the one after it, as before the run.
        QVERIFY(lists[0]->isEnabled());
        QVERIFY(lists[1]->isEnabled());
        QVERIFY(!lists[2]->isEnabled());
    }
    f.get<QRadioButton>("titrep2")->click();
    QVERIFY(lists[4]->isVisibleTo(f.window.get()));
    QVERIFY(lists[4]->isEnabled());
}

void Form1Test::doubleClickOnStartRunsToTheEnd() {
    Fixture f;
    f.preparePagesRun(50);
    auto* start = f.get<QPushButton>("Command1");
    // However slow the machine, the second click comes within the double-click interval.
    const int interval = QApplication::doubleClickInterval();
    QGuiApplication::styleHints()->setMouseDoubleClickInterval(60 * 1000);
    int pumps = 0;
    f.window->setPumpHook([&] {
        if (++pumps == 1) {
            // The second press of a double-click reaches the button as the run begins.
            QMouseEvent press(QEvent::MouseButtonDblClick, QPointF(5, 5),
                              start->mapToGlobal(QPointF(5, 5)), Qt::LeftButton, Qt::LeftButton,
                              Qt::NoModifier);
            QApplication::sendEvent(start, &press);
            QMouseEvent release(QEvent::MouseButtonRelease, QPointF(5, 5),
                                start->mapToGlobal(QPointF(5, 5)), Qt::LeftButton, Qt::NoButton,
                                Qt::NoModifier);
            QApplication::sendEvent(start, &release);
        }
    });
    QTest::mouseClick(start, Qt::LeftButton);
    QGuiApplication::styleHints()->setMouseDoubleClickInterval(interval);
    QCOMPARE(int(f.messages.size()), 1);
    QCOMPARE(f.messages[0].text, QStringLiteral("Traitement terminé..."));
    QCOMPARE(f.pagesWritten(), 50);
}

void Form1Test::progressFrameShowsEverythingWhole_data() {
    QTest::addColumn<bool>("english");
    QTest::addColumn<QStringList>("statuses");
    QTest::addColumn<QString>("longestTime");
    QTest::newRow("French") << false
                            << QStringList{"Génération des pages HTML en cours...",
                                           "Génération des liens hypertexte en cours...",
                                           "Génération des index en cours...",
                                           "Génération de l'annuaire en cours..."}
                            << QStringLiteral("9999.99s/fichier - Reste moins d'une minute");
    QTest::newRow("English") << true
                             << QStringList{"HTML pages creation in progress...",
                                            "Hypertext links creation in progress",
                                            "Indexes creation in progress...",
                                            "Yearbook creation in progress..."}
                             << QStringLiteral("9999.99s/file - Est. less than 1 minute left");
}

void Form1Test::progressFrameShowsEverythingWhole() {
    QFETCH(bool, english);
    QFETCH(QStringList, statuses);
    QFETCH(QString, longestTime);
    Fixture f;
    if (english) {
        f.window->anglais_Click();
    }
    f.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
    auto* frame = f.get<QGroupBox>("Frame1");
    const QList<BarPicture*> bars{f.get<BarPicture>("pictotal"), f.get<BarPicture>("piccours")};
    // Where everything in the frame stands, and that every text there is shown whole.
    auto layoutOf = [&] {
        QList<QRect> places{frame->geometry()};
        for (QWidget* child : frame->findChildren<QWidget*>()) {
            places << QRect(child->mapTo(frame, QPoint(0, 0)), child->size());
        }
        return places;
    };
    auto everythingWhole = [&] {
        for (QLabel* label : frame->findChildren<QLabel*>()) {
            if (label->fontMetrics().horizontalAdvance(label->text()) >
                label->contentsRect().width()) {
                return false;
            }
        }
        return frame->fontMetrics().horizontalAdvance(frame->title()) < frame->width();
    };
    const QList<QRect> idle = layoutOf();

    // 40 twips a percent: 4000 twips, 267 pixels at 96 dpi, for a full bar.
    QCOMPARE(frame->logicalDpiX(), 96);
    for (BarPicture* bar : bars) {
        QCOMPARE(bar->fillWidth(100), 267);
        QCOMPARE(bar->fillWidth(50), 133);
        QVERIFY(bar->width() >= 267);
    }

    f.preparePagesRun(300);
    QList<QRect> running;
    bool wholeWhileRunning = false;
    int pumps = 0;
    f.window->setPumpHook([&] {
        if (++pumps == 250) {
            // Past the repaint interval, the frame shows the run's own values.
            QThread::msleep(40);
            QCoreApplication::processEvents();
            running = layoutOf();
            wholeWhileRunning = everythingWhole() && !frame->title().isEmpty();
        }
    });
    f.get<QPushButton>("Command1")->click();
    QVERIFY(wholeWhileRunning);
    QCOMPARE(running, idle);
    QCOMPARE(layoutOf(), idle);

    // The longest texts a run may show.
    for (const QString& status : statuses) {
        f.window->setStatus(status.toStdString());
        f.window->setRecordText("99999999 sur 99999999");
        f.window->setLineText("99999999 sur 99999999");
        f.window->setTimeText(longestTime.toStdString());
        QThread::msleep(40);
        QCoreApplication::processEvents();
        QCOMPARE(frame->title(), status);
        QVERIFY2(everythingWhole(), qPrintable(status));
        QCOMPARE(layoutOf(), idle);
    }
}

void Form1Test::longNamingExampleNeverWidensTheWindow() {
    Fixture f;
    const QString column(300, QLatin1Char('w'));
    f.env.writeFile(QStringLiteral("wide.txt"),
                    (column + ";" + column + ";" + column + "\n").toUtf8());
    f.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
    const QSize size = f.window->size();
    f.field("source")->setText(f.env.path(QStringLiteral("wide.txt")));
    f.get<QRadioButton>("Option2")->click();
    for (int i = 0; i < 3; ++i) {
        auto* list = f.get<QComboBox>(qPrintable(QStringLiteral("nomdufichierhtm%1").arg(i)));
        list->setCurrentIndex(i);
        emit list->activated(i);
    }
    QCoreApplication::processEvents();
    auto* example = f.get<ElidedLabel>("exemplenom");
    const QString whole = "Exemple: " + column + "_" + column + "_" + column + ".htm";
    QCOMPARE(example->fullText(), whole);
    QCOMPARE(example->toolTip(), whole);
    QVERIFY(example->text().contains(QChar(0x2026)));
    QVERIFY(example->fontMetrics().horizontalAdvance(example->text()) <= example->width());
    QCOMPARE(f.window->size(), size);
    f.get<QRadioButton>("Option1")->click();
    QCoreApplication::processEvents();
    QCOMPARE(f.window->size(), size);
}

void Form1Test::activationKeepsCaretAndUndo() {
    Fixture f;
    for (const char* name : {"source", "fichiermodele", "i30", "i50"}) {
        // An edit the person can undo, and the caret moved back into the text.
        QLineEdit* field = f.field(name);
        field->end(false);
        field->insert(QStringLiteral("x"));
        field->setCursorPosition(2);
        f.window->Form_Activate();
        QCOMPARE(field->cursorPosition(), 2);
        QVERIFY2(field->isUndoAvailable(), name);
    }
}

void Form1Test::windowCentredOnItsShownSize() {
    Fixture f;
    const QRect placed = f.window->geometry();
    f.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
    QCoreApplication::processEvents();
    QCOMPARE(f.window->size(), placed.size());
    const QRect area = f.window->screen()->availableGeometry();
    QVERIFY(area.contains(f.window->frameGeometry()));
    const QPoint offset = f.window->frameGeometry().center() - area.center();
    // The platform's window frame may add a pixel or two on each side.
    QVERIFY2(std::abs(offset.x()) <= 3 && std::abs(offset.y()) <= 3,
             qPrintable(QStringLiteral("%1,%2").arg(offset.x()).arg(offset.y())));
}

void Form1Test::languageSwitchSwapsOnlySamplePaths() {
    Fixture f;
    const QString inst = QString::fromStdString(f.env.installDir());
    const QString other = f.env.path(QStringLiteral("my_model.htm"));
    f.field("fichiermodele")->setText(other);
    // A sample path in another letter case is not a sample path.
    const QString upper = inst + "FRANÇAIS/annuaire_données.csv";
    f.field("i30")->setText(upper);

    f.window->anglais_Click();
    QCOMPARE(f.field("source")->text(), inst + kEnglish + "sample_data_file.txt");
    QCOMPARE(f.field("fichiermodele")->text(), other);
    QCOMPARE(f.field("i30")->text(), upper);
    QCOMPARE(f.field("i50")->text(), inst + kEnglish + "yearbook_model.htm");
    QCOMPARE(f.stored(kParametres, key::kSource), inst + kEnglish + "sample_data_file.txt");
    QCOMPARE(f.stored(kParametres, key::kLangue), QStringLiteral("E"));
    QCOMPARE(f.get<QPushButton>("defaut")->text(), QStringLiteral("Reset to default settings"));

    f.window->francais_Click();
    QCOMPARE(f.field("source")->text(), inst + kFrench + "exemple_de_données.txt");
    QCOMPARE(f.field("fichiermodele")->text(), other);
    QCOMPARE(f.stored(kParametres, key::kLangue), QStringLiteral("F"));
}

void Form1Test::quitWithEmptyFirstListSelectsFirstNaming() {
    Fixture f;
    f.get<QRadioButton>("Option2")->click();
    f.get<QRadioButton>("titrep2")->click();
    QCOMPARE(f.stored(kParametres, key::kOption), QStringLiteral("2"));
    QCOMPARE(f.stored(kParametres, key::kTitre), QStringLiteral("2"));
    f.window->Command2_Click();
    QVERIFY(f.get<QRadioButton>("Option1")->isChecked());
    QVERIFY(f.get<QRadioButton>("titrep1")->isChecked());
    QCOMPARE(f.stored(kParametres, key::kOption), QStringLiteral("1"));
    QCOMPARE(f.stored(kParametres, key::kTitre), QStringLiteral("1"));
}

void Form1Test::emptyingDestinationStoresNothing() {
    Fixture f;
    const QString chosen = f.env.path(QStringLiteral("somewhere")) + "/";
    f.field("destination")->setText(chosen);
    QCOMPARE(f.stored(kParametres, key::kDestination), chosen);
    f.field("destination")->clear();
    QCOMPARE(f.stored(kParametres, key::kDestination), chosen);
}

// The settings file's folder is a plain file: every write fails. The window starts and works on,
// and says so once on standard error, naming the file.
void Form1Test::unsavableSettingsSaySoOnceAndChoicesLast() {
    QTemporaryDir capture;
    const QByteArray errPath = capture.filePath(QStringLiteral("stderr")).toLocal8Bit();
    std::fflush(stderr);
    const int savedErr = ::dup(2);
    const int errFile = ::open(errPath.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ::dup2(errFile, 2);
    {
        Fixture f([](WindowTestEnv& env) {
            env.writeFile(QStringLiteral("blocker"), "a file where a folder should be");
            qputenv("PAGEWRIGHT_INI", env.path(QStringLiteral("blocker/PgWright.ini")).toUtf8());
        });
        f.window->anglais_Click();
        f.field("destination")->setText(f.env.path(QStringLiteral("somewhere")) + "/");
        QCOMPARE(f.field("destination")->text(), f.env.path(QStringLiteral("somewhere")) + "/");
        QCOMPARE(f.get<QPushButton>("Command1")->text(), QStringLiteral("Start"));
    }
    std::fflush(stderr);
    ::dup2(savedErr, 2);
    ::close(savedErr);
    ::close(errFile);
    QFile err(QString::fromLocal8Bit(errPath));
    QVERIFY(err.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(err.readAll());
    QCOMPARE(text.count(QStringLiteral("the settings cannot be saved")), 1);
    QVERIFY(text.contains(QStringLiteral("blocker/PgWright.ini")));
}

void Form1Test::namingExampleFollowsChosenTags() {
    Fixture f;
    f.env.writeFile(QStringLiteral("x.txt"), "x;y;z\r\nother;line\r\n");
    f.field("source")->setText(f.env.path(QStringLiteral("x.txt")));
    f.get<QRadioButton>("Option2")->click();
    auto* list0 = f.get<QComboBox>("nomdufichierhtm0");
    auto* list1 = f.get<QComboBox>("nomdufichierhtm1");
    QVERIFY(list0->isVisibleTo(f.window.get()));
    QVERIFY(!list1->isEnabled());
    list0->setCurrentIndex(1);
    f.window->nomdufichierhtm_Click(0);
    QCOMPARE(f.get<ElidedLabel>("exemplenom")->fullText(), QStringLiteral("Exemple: y.htm"));
    QVERIFY(list1->isEnabled());
    QCOMPARE(f.stored(kParametres, key::kTagF[0]), QStringLiteral("Tag N°1"));
    // Naming from the first column empties the naming tags in the file.
    f.get<QRadioButton>("Option1")->click();
    QCOMPARE(f.stored(kParametres, key::kTagF[0]), QString());
    QVERIFY(list0->isHidden());
}

void Form1Test::destinationPicker_data() {
    QTest::addColumn<bool>("root");
    QTest::newRow("root") << true;
    QTest::newRow("subdirectory") << false;
}

void Form1Test::destinationPicker() {
    QFETCH(bool, root);
    Fixture f;
    QDir().mkpath(f.env.path(QStringLiteral("pick/sub")));
    const QString target = root ? QStringLiteral("/") : f.env.path(QStringLiteral("pick/sub"));
    const QString expected = root ? QStringLiteral("/") : target + "/";

    f.window->destination_DblClick();
    auto* ok = f.get<QPushButton>("validedestination");
    auto* list = f.get<DirList>("dirdestination");
    QVERIFY(list->isVisibleTo(f.window.get()));
    QVERIFY(!ok->isEnabled());
    QVERIFY(!f.get<QTabWidget>("onglet")->isTabEnabled(1));
    QVERIFY(!f.get<QPushButton>("Command1")->isEnabled());
    QVERIFY(f.field("destination")->isHidden());
    QVERIFY(!f.field("source")->isEnabled());
    list->setPath(target);
    QVERIFY(ok->isEnabled());
    ok->click();
    QCOMPARE(f.field("destination")->text(), expected);
    QCOMPARE(f.stored(kParametres, key::kDestination), expected);
    QVERIFY(list->isHidden());
    QVERIFY(f.tabsSelectable());
    QVERIFY(f.get<QPushButton>("Command1")->isEnabled());
    QVERIFY(f.field("source")->isEnabled());
}

void Form1Test::dataFilePickerChoosesFileAndRestoresLists() {
    Fixture f;
    f.env.writeFile(QStringLiteral("pick/data one.txt"), "a;b\n");
    f.get<QRadioButton>("Option2")->click();
    f.window->source_DblClick();
    QVERIFY(f.get<QComboBox>("nomdufichierhtm0")->isHidden());
    QVERIFY(f.get<QGroupBox>("nompage")->isHidden());
    QVERIFY(!f.get<QGroupBox>("Frame5")->isEnabled());
    auto* directories = f.get<DirList>("ficdir");
    auto* files = f.get<FileList>("ficsource");
    directories->setPath(f.env.path(QStringLiteral("pick")));
    QCOMPARE(files->path(), f.env.path(QStringLiteral("pick")));
    files->selectFile(QStringLiteral("data one.txt"));
    QCOMPARE(files->fileName(), QStringLiteral("data one.txt"));
    emit files->fileActivated();
    QCOMPARE(f.field("source")->text(), f.env.path(QStringLiteral("pick/data one.txt")));
    QCOMPARE(f.stored(kParametres, key::kSource), f.env.path(QStringLiteral("pick/data one.txt")));
    QVERIFY(f.get<QComboBox>("nomdufichierhtm0")->isVisibleTo(f.window.get()));
    QVERIFY(f.get<QLabel>("exemplenom")->isVisibleTo(f.window.get()));
    QVERIFY(files->isHidden());
    QVERIFY(f.get<QGroupBox>("Frame5")->isEnabled());
}

void Form1Test::escapeLeavesFieldAndFile_data() {
    QTest::addColumn<QString>("picker");
    QTest::addColumn<QString>("list");
    QTest::addColumn<QString>("fieldName");
    QTest::newRow("data file, drive list") << "source"
                                           << "Drive1"
                                           << "source";
    QTest::newRow("data file, directory list") << "source"
                                               << "ficdir"
                                               << "source";
    QTest::newRow("data file, file list") << "source"
                                          << "ficsource"
                                          << "source";
    QTest::newRow("model, file list") << "fichiermodele"
                                      << "ficmodele"
                                      << "fichiermodele";
    QTest::newRow("destination, drive list") << "destination"
                                             << "Drive3"
                                             << "destination";
    QTest::newRow("destination, directory list") << "destination"
                                                 << "dirdestination"
                                                 << "destination";
}

void Form1Test::escapeLeavesFieldAndFile() {
    QFETCH(QString, picker);
    QFETCH(QString, list);
    QFETCH(QString, fieldName);
    Fixture f;
    QDir().mkpath(f.env.path(QStringLiteral("elsewhere")));
    f.env.writeFile(QStringLiteral("elsewhere/file.htm"), "x");
    const QString before = f.field(qPrintable(fieldName))->text();
    const QString iniBefore = f.env.iniText();

    QMetaObject::invokeMethod(f.window.get(), qPrintable(picker + "_DblClick"));
    if (auto* directories = f.window->findChild<DirList*>(
            picker == "source" ? "ficdir"
                               : (picker == "fichiermodele" ? "Dirmodele" : "dirdestination"))) {
        directories->setPath(f.env.path(QStringLiteral("elsewhere")));
    }
    if (auto* files =
            f.window->findChild<FileList*>(picker == "source" ? "ficsource" : "ficmodele")) {
        files->selectFile(QStringLiteral("file.htm"));
    }
    QWidget* target = f.get<QWidget>(qPrintable(list));
    QVERIFY(target->isVisibleTo(f.window.get()));
    QTest::keyClick(target, Qt::Key_Escape);

    QCOMPARE(f.field(qPrintable(fieldName))->text(), before);
    QCOMPARE(f.env.iniText(), iniBefore);
    QVERIFY(target->isHidden());
    QVERIFY(!f.window->pickerCancel());
    QVERIFY(f.tabsSelectable());
    QVERIFY(f.get<QPushButton>("Command2")->isEnabled());
    QVERIFY(f.field(qPrintable(fieldName))->isVisibleTo(f.window.get()));
}

void Form1Test::fieldHelpDisappearsAfterItsInterval() {
    Fixture f;
    f.window->setHelpInterval(100);
    f.window->show();
    auto* help = f.get<QLabel>("Aide");
    QTest::mouseClick(f.field("destination"), Qt::LeftButton);
    QCOMPARE(help->text(),
             QStringLiteral("Double-cliquez dans le champ pour choisir le répertoire où seront "
                            "crées les pages HTML."));
    QVERIFY(help->isVisible());
    QVERIFY(f.get<QLabel>("idee")->isVisible());
    // A second press replaces the text.
    QTest::mouseClick(f.field("source"), Qt::LeftButton);
    QVERIFY(help->text().endsWith(QStringLiteral("Quenbly;5489;disponible;140F;reggae")));
    QTRY_VERIFY_WITH_TIMEOUT(help->text().isEmpty(), 10000);
    QVERIFY(!help->isVisible());
    QVERIFY(!f.get<QLabel>("idee")->isVisible());
}

void Form1Test::tabChangeClearsHelp() {
    Fixture f;
    f.window->show();
    f.window->showFieldHelp(QStringLiteral("fichiermodele"));
    QVERIFY(!f.get<QLabel>("Aide")->text().isEmpty());
    f.get<QTabWidget>("onglet")->setCurrentIndex(1);
    QVERIFY(f.get<QLabel>("Aide")->text().isEmpty());
    QVERIFY(f.get<QComboBox>("Tagindex")->isHidden());
    f.get<QTabWidget>("onglet")->setCurrentIndex(2);
    QVERIFY(f.get<QComboBox>("Tagindex")->isVisible());
}

void Form1Test::helpAddress_data() {
    QTest::addColumn<bool>("english");
    QTest::addColumn<int>("tab");
    QTest::addColumn<QString>("ending");
    QTest::newRow("index tab, English") << true << 2 << "/help/english/help_3.htm";
    QTest::newRow("pages tab, French") << false << 0 << "/help/aide_1.htm";
    QTest::newRow("hyperlinks tab, French") << false << 1 << "/help/aide_2.htm";
}

void Form1Test::helpAddress() {
    QFETCH(bool, english);
    QFETCH(int, tab);
    QFETCH(QString, ending);
    Fixture f;
    if (english) {
        f.window->anglais_Click();
    }
    f.get<QTabWidget>("onglet")->setCurrentIndex(tab);
    QString address = QString::fromStdString(f.window->helpAddress());
    QVERIFY2(address.startsWith(QStringLiteral("file:///")), qPrintable(address));
    QVERIFY2(address.endsWith(ending), qPrintable(address));
}

void Form1Test::browserCommandKeepsQuotedPath() {
    Fixture f([](WindowTestEnv& env) {
        env.writeFile(QStringLiteral("registry.reg"),
                      "REGEDIT4\r\n\r\n[HKEY_CLASSES_ROOT\\http\\shell\\open\\command]\r\n"
                      "@=\"\\\"/opt/My Browser/Browser.EXE\\\" -nohome -url \\\"%1\\\"\"\r\n");
    });
    f.get<QTabWidget>("onglet")->setCurrentIndex(1);
    f.window->internet_Click();
    QVERIFY(f.messages.empty());
    QCOMPARE(int(f.started.size()), 1);
    const std::vector<std::string>& argv = f.started[0];
    QCOMPARE(int(argv.size()), 2);
    QCOMPARE(QString::fromStdString(argv[0]), QStringLiteral("/opt/My Browser/Browser.EXE"));
    QCOMPARE(argv[1], f.window->helpAddress());
}

void Form1Test::noBrowserShowsMessage() {
    WindowServices services;
    std::vector<Message> messages;
    WindowTestEnv env;
    services.messageBox = [&](RunHost::Icon icon, const QString& text) {
        messages.push_back({icon, text});
    };
    services.installDir = [&] { return env.installDir(); };
    services.browserCommand = [](const std::string&) { return std::vector<std::string>{}; };
    Form1 window(services);
    window.anglais_Click();
    window.internet_Click();
    QCOMPARE(int(messages.size()), 1);
    QCOMPARE(messages[0].icon, RunHost::Icon::Critical);
    QCOMPARE(messages[0].text,
             QStringLiteral("There is no browser currently installed on your computer."));
}

void Form1Test::resetToDefaultsDropsTags() {
    Fixture f;
    f.window->anglais_Click();
    f.get<QRadioButton>("Option2")->click();
    f.get<QComboBox>("nomdufichierhtm0")->setCurrentIndex(4);
    f.window->nomdufichierhtm_Click(0);
    f.field("destination")->setText(QStringLiteral("/elsewhere/"));
    f.get<QPushButton>("defaut")->click();
    QVERIFY(f.get<QRadioButton>("Option1")->isChecked());
    QCOMPARE(f.get<QComboBox>("nomdufichierhtm0")->currentText(), QString());
    QCOMPARE(f.field("destination")->text(), f.env.defaultDir());
    QCOMPARE(f.stored(kParametres, key::kLangue), QStringLiteral("E"));
    QCOMPARE(f.stored(kParametres, key::kTagF[0]), QString());
    QCOMPARE(f.get<QTabWidget>("onglet")->currentIndex(), 0);
    QCOMPARE(f.window->language(), Language::English);
}

void Form1Test::loadRestoresNamingFromTags() {
    Fixture f([](WindowTestEnv& env) {
        env.writeFile(QStringLiteral("PgWright.ini"),
                      "[Parametres]\r\nLangue=E\r\nOption=2\r\nTagF0=Tag N\xc2\xb0"
                      "3\r\n"
                      "TagF1=Tag N\xc2\xb0"
                      "1\r\nTagF2=\r\nTitre=2\r\n"
                      "TagF4=Tag N\xc2\xb0"
                      "4\r\nSymbole=2\r\n");
    });
    QVERIFY(f.get<QRadioButton>("Option2")->isChecked());
    QVERIFY(f.get<QRadioButton>("titrep2")->isChecked());
    auto* list0 = f.get<QComboBox>("nomdufichierhtm0");
    auto* list2 = f.get<QComboBox>("nomdufichierhtm2");
    QCOMPARE(list0->currentText(), QStringLiteral("Tag N°3"));
    QCOMPARE(f.get<QComboBox>("nomdufichierhtm1")->currentText(), QStringLiteral("Tag N°1"));
    QCOMPARE(f.get<QComboBox>("nomdufichierhtm4")->currentText(), QStringLiteral("Tag N°4"));
    // Usable as after the person's own choices: the chosen lists and the one after them.
    QVERIFY(list0->isVisibleTo(f.window.get()) && list0->isEnabled());
    QVERIFY(list2->isVisibleTo(f.window.get()) && list2->isEnabled());
    QVERIFY(!f.get<QComboBox>("nomdufichierhtm3")->isEnabled());
    QCOMPARE(f.get<ElidedLabel>("exemplenom")->fullText(), QString());
    QCOMPARE(f.get<QComboBox>("separateur")->currentText(), QStringLiteral(","));
    QCOMPARE(f.window->runState().titleColumn, 1);
    // The load leaves the stored tags as they were.
    QCOMPARE(f.stored(kParametres, key::kTagF[0]), QStringLiteral("Tag N°3"));
    QCOMPARE(f.stored(kParametres, key::kTagF[4]), QStringLiteral("Tag N°4"));
}

void Form1Test::activationStoresSampleKeysEvenEmpty() {
    Fixture f;
    f.field("source")->clear();
    f.field("i50")->clear();
    QVERIFY(f.stored(kParametres, key::kSource) != QString());
    f.window->Form_Activate();
    QCOMPARE(f.stored(kParametres, key::kSource), QString());
    QCOMPARE(f.stored(kIndex, key::kIndexModel), QString());
}

void Form1Test::tabChangeEnablesStartOnlyWhenFieldsAreFilled() {
    Fixture f;
    auto* start = f.get<QPushButton>("Command1");
    auto* tabs = f.get<QTabWidget>("onglet");
    f.field("hyperdir")->clear();
    start->setEnabled(false);
    tabs->setCurrentIndex(1);
    QVERIFY(!start->isEnabled());
    tabs->setCurrentIndex(0);
    QVERIFY(start->isEnabled());
    start->setEnabled(false);
    tabs->setCurrentIndex(2);
    QVERIFY(start->isEnabled());
    // The index tab applies the chosen run's enabling.
    QVERIFY(f.field("i10")->isEnabled());
    QVERIFY(!f.get<QComboBox>("i33")->isEnabled());
}

void Form1Test::registryFailureIsShownAndStartUpGoesOn() {
    WindowTestEnv env;
    // The hive's folder is a plain file: every registry write fails.
    env.writeFile(QStringLiteral("blocked"), "not a folder");
    qputenv("PAGEWRIGHT_REGISTRY", env.path(QStringLiteral("blocked/registry.reg")).toUtf8());
    std::vector<Message> messages;
    WindowServices services;
    services.messageBox = [&](RunHost::Icon icon, const QString& text) {
        messages.push_back({icon, text});
    };
    Form1 window(services);
    QVERIFY(!messages.empty());
    QVERIFY2(messages[0].text.startsWith(QStringLiteral("Erreur CreateKey : ")),
             qPrintable(messages[0].text));
    QCOMPARE(messages[0].icon, RunHost::Icon::Critical);
    // The installation directory falls back to the program's own directory.
    QCOMPARE(QString::fromStdString(window.installDir()),
             QCoreApplication::applicationDirPath() + "/");
    QCOMPARE(window.findChild<QPushButton*>(QStringLiteral("Command1"))->text(),
             QStringLiteral("Lancer"));
}

void Form1Test::driveListStartsWithRoot() {
    Fixture f;
    auto* drives = f.get<DriveList>("Drive1");
    QVERIFY(drives->count() >= 1);
    QCOMPARE(drives->itemData(0).toString(), QStringLiteral("/"));
    f.window->source_DblClick();
    drives->setCurrentIndex(0);
    emit drives->currentIndexChanged(0);
    QCOMPARE(f.get<DirList>("ficdir")->path(), QStringLiteral("/"));
    QCOMPARE(f.get<FileList>("ficsource")->path(), QStringLiteral("/"));
}

}  // namespace pw::test

int main(int argc, char** argv) {
    return pw::test::runWindowTests<pw::test::Form1Test>(argc, argv);
}

#include "form1_test.moc"
