// The main window driven offscreen: defaults, validation, Start/Stop, language switch, Quit,
// the pages-tab pickers, the field help and the online help.
#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <memory>
#include <stdexcept>

#include "settings/profile.h"
#include "settings/settings_keys.h"
#include "tests/window/window_fixture.h"
#include "window/form1.h"
#include "window/list_widgets.h"

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
    void validationMessage_data();
    void validationMessage();
    void completedRunShowsOneDoneBox();
    void stopDuringRun_data();
    void stopDuringRun();
    void indexTabWithNeitherOptionCompletesAtOnce();
    void failureBeforeTheRunShowsTheFatalBoxAndEnds();
    void closingDuringRunStopsItQuietly();
    void runWithEmptyTagListsFallsBackToFirstMethods();
    void unlockEnablesOnlyChosenNamingLists();
    void languageSwitchSwapsOnlySamplePaths();
    void quitWithEmptyFirstListSelectsFirstNaming();
    void emptyingDestinationStoresNothing();
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
    QCOMPARE(f.window->windowTitle(),
             QStringLiteral("Pagewright 1.04 - Générateur express de pages HTML"));
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

void Form1Test::validationMessage_data() {
    QTest::addColumn<bool>("withSource");
    QTest::addColumn<bool>("withModel");
    QTest::addColumn<bool>("withDestination");
    QTest::addColumn<QString>("message");
    QTest::newRow("all empty") << false << false << false
                               << QStringLiteral("Vous devez choisir un répertoire de destination");
    QTest::newRow("data and model empty")
        << false << false << true << QStringLiteral("Vous devez choisir un fichier modèle");
    QTest::newRow("data empty") << false << true << true
                                << QStringLiteral("Vous devez choisir un fichier source");
}

void Form1Test::validationMessage() {
    QFETCH(bool, withSource);
    QFETCH(bool, withModel);
    QFETCH(bool, withDestination);
    QFETCH(QString, message);
    Fixture f;
    f.preparePagesRun(3);
    if (!withSource)
        f.field("source")->clear();
    if (!withModel)
        f.field("fichiermodele")->clear();
    if (!withDestination)
        f.field("destination")->clear();
    f.get<QPushButton>("Command1")->click();
    QCOMPARE(int(f.messages.size()), 1);
    QCOMPARE(f.messages[0].text, message);
    QCOMPARE(f.messages[0].icon, RunHost::Icon::Critical);
    QCOMPARE(f.pagesWritten(), 0);
    QVERIFY(f.tabsSelectable());
    QVERIFY(f.field("source")->isEnabled());
    QVERIFY(f.get<QPushButton>("Command2")->isEnabled());
    QVERIFY(f.get<QToolButton>("anglais")->isEnabled());
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
        // Two clicks arrive at the fifth page: the second finds the stop already requested.
        if (++pumps == 5) {
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

void Form1Test::unlockEnablesOnlyChosenNamingLists() {
    Fixture f;
    f.get<QRadioButton>("Option2")->click();
    auto* list0 = f.get<QComboBox>("nomdufichierhtm0");
    auto* list1 = f.get<QComboBox>("nomdufichierhtm1");
    list0->setCurrentIndex(3);
    f.window->nomdufichierhtm_Click(0);
    QVERIFY(list1->isEnabled());
    // A refused start locks and unlocks the tab: the empty list after the chosen one stays
    // locked until a list is chosen again.
    f.field("destination")->clear();
    f.get<QPushButton>("Command1")->click();
    QCOMPARE(int(f.messages.size()), 1);
    QVERIFY(list0->isEnabled());
    QVERIFY(!list1->isEnabled());
    QVERIFY(f.field("source")->isEnabled());
    QVERIFY(f.get<QRadioButton>("titrep1")->isEnabled());
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
    QCOMPARE(f.get<QLabel>("exemplenom")->text(), QStringLiteral("Exemple: y.htm"));
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
    QVERIFY(list0->isVisibleTo(f.window.get()) && list0->isEnabled());
    QVERIFY(list2->isVisibleTo(f.window.get()) && !list2->isEnabled());
    QCOMPARE(f.get<QLabel>("exemplenom")->text(), QString());
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
    // Qt wants a private runtime folder; the tests never use the real one.
    QTemporaryDir runtime;
    QFile::setPermissions(runtime.path(),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", runtime.path().toUtf8());
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    pw::test::Form1Test test;
    return QTest::qExec(&test, argc, argv);
}

#include "form1_test.moc"
