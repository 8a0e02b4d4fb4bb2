// The hyperlinks and index tabs driven offscreen: their modes, pickers, stored choices, help
// texts, the validation of every run, and the three runs they start, each stopped part-way.
#include <QComboBox>
#include <QDir>
#include <QFocusEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <QToolButton>
#include <map>

#include "settings/settings_keys.h"
#include "tests/window/window_fixture.h"
#include "window/captions.h"
#include "window/list_widgets.h"
#include "window/qt_text.h"

namespace pw::test {

namespace {

const QString kLinkTagHelp = QStringLiteral(
    "Choisissez le tag à rechercher dans toutes les pages HTML.\nLe tag sélectionné sera cherché "
    "dans toutes les pages et toute page ayant le même contenu sera liée.");

// The bytes of every file of a directory, by name.
std::map<QString, QByteArray> snapshot(const QString& directory) {
    std::map<QString, QByteArray> files;
    for (const QString& name : QDir(directory).entryList(QDir::Files | QDir::Hidden)) {
        QFile file(QDir(directory).filePath(name));
        if (file.open(QIODevice::ReadOnly)) {
            files[name] = file.readAll();
        }
    }
    return files;
}

void focusIn(QWidget* control, Qt::FocusReason reason) {
    QFocusEvent event(QEvent::FocusIn, reason);
    QApplication::sendEvent(control, &event);
}

}  // namespace

class TabsTest : public QObject {
    Q_OBJECT
  private slots:
    void yearbookModeDisablesIndexPagesInputs();
    void escapeInPickerLists_data();
    void escapeInPickerLists();
    void okWaitsForDirectoryChange_data();
    void okWaitsForDirectoryChange();
    void modelPickerEnablesSeparatorAndFocusesStart();
    void dataFileInSubdirectory();
    void emptiedFieldsStoreOnlyTag99();
    void linksOkWithEmptyLinkTagLeavesStart_data();
    void linksOkWithEmptyLinkTagLeavesStart();
    void linksPickerKeepsItsLastDirectory();
    void chosenTagIsStoredTypedTagIsNot_data();
    void chosenTagIsStoredTypedTagIsNot();
    void yearbookSeparatorStoredOnLeaving();
    void helpTexts_data();
    void helpTexts();
    void helpNotShownForFocusBackFromPopup();
    void tabbingIntoLinkTagShowsHelp();
    void linkPrefixHelpShowsWebAddress();
    void validationOfEachRun_data();
    void validationOfEachRun();
    void linkPrefixReachesTheRun();
    void stopDuringHyperlinksLeavesPagesUntouched();
    void stopDuringIndexPagesWritesNoIndex();
    void stopDuringYearbookKeepsFinishedRecords();
};

void TabsTest::yearbookModeDisablesIndexPagesInputs() {
    Fixture f;
    f.get<QTabWidget>("onglet")->setCurrentIndex(2);
    f.get<QRadioButton>("Option4")->click();
    for (const char* name : {"i10", "i20", "Tagindex", "tagindex2"}) {
        QVERIFY2(!f.get<QWidget>(name)->isEnabled(), name);
    }
    for (const char* name : {"i30", "i40", "i50", "i33"}) {
        QVERIFY2(f.get<QWidget>(name)->isEnabled(), name);
    }
    QVERIFY(f.env.iniText().contains(QStringLiteral("IndexMethod=False\r\n")));
    // A disabled field opens no picker.
    f.window->i10_DblClick();
    QVERIFY(f.get<DirList>("i12")->isHidden());
    QVERIFY(f.get<QPushButton>("Command2")->isEnabled());

    f.get<QRadioButton>("Option3")->click();
    QVERIFY(f.env.iniText().contains(QStringLiteral("IndexMethod=True \r\n")));
    QVERIFY(f.field("i10")->isEnabled());
    QVERIFY(!f.get<QComboBox>("i33")->isEnabled());
}

void TabsTest::escapeInPickerLists_data() {
    QTest::addColumn<QString>("fieldName");
    QTest::addColumn<bool>("yearbook");
    QTest::addColumn<QString>("list");
    QTest::addColumn<bool>("closes");
    QTest::newRow("hyperlinks, drive list") << "hyperdir" << false << "Drive4" << true;
    QTest::newRow("hyperlinks, directory list") << "hyperdir" << false << "Dirlist" << true;
    QTest::newRow("index source, drive list") << "i10" << false << "i11" << true;
    QTest::newRow("index source, directory list") << "i10" << false << "i12" << true;
    QTest::newRow("index destination, drive list") << "i20" << false << "i21" << false;
    QTest::newRow("index destination, directory list") << "i20" << false << "i22" << true;
    QTest::newRow("yearbook data, drive list") << "i30" << true << "i31" << false;
    QTest::newRow("yearbook data, directory list") << "i30" << true << "i34" << true;
    QTest::newRow("yearbook data, file list") << "i30" << true << "i32" << true;
    QTest::newRow("yearbook destination, drive list") << "i40" << true << "i41" << true;
    QTest::newRow("yearbook destination, directory list") << "i40" << true << "i42" << true;
    QTest::newRow("yearbook model, drive list") << "i50" << true << "i51" << false;
    QTest::newRow("yearbook model, directory list") << "i50" << true << "i52" << true;
    QTest::newRow("yearbook model, file list") << "i50" << true << "i53" << true;
}

void TabsTest::escapeInPickerLists() {
    QFETCH(QString, fieldName);
    QFETCH(bool, yearbook);
    QFETCH(QString, list);
    QFETCH(bool, closes);
    Fixture f;
    f.env.writeFile(QStringLiteral("elsewhere/file.htm"), "x");
    f.get<QTabWidget>("onglet")->setCurrentIndex(fieldName == "hyperdir" ? 1 : 2);
    f.get<QRadioButton>(yearbook ? "Option4" : "Option3")->click();
    QLineEdit* field = f.field(qPrintable(fieldName));
    const QString before = field->text();
    const QString iniBefore = f.env.iniText();

    QMetaObject::invokeMethod(f.window.get(), qPrintable(fieldName + "_DblClick"));
    QWidget* target = f.get<QWidget>(qPrintable(list));
    QVERIFY(target->isVisibleTo(f.window.get()));
    QVERIFY(field->isHidden());
    for (auto* directories : f.window->findChildren<DirList*>()) {
        if (directories->isVisibleTo(f.window.get())) {
            directories->setPath(f.env.path(QStringLiteral("elsewhere")));
        }
    }
    QTest::keyClick(target, Qt::Key_Escape);

    QCOMPARE(f.env.iniText(), iniBefore);
    QCOMPARE(field->text(), before);
    QVERIFY(!f.window->pickerCancel());
    if (closes) {
        QVERIFY(target->isHidden());
        QVERIFY(field->isVisibleTo(f.window.get()));
        QVERIFY(f.tabsSelectable());
        QVERIFY(f.get<QPushButton>("Command2")->isEnabled());
        QVERIFY(f.get<QPushButton>("Command1")->isEnabled());
        QVERIFY(f.get<QToolButton>("anglais")->isEnabled());
        QVERIFY(f.get<QRadioButton>("Option3")->isEnabled());
        QVERIFY(f.get<QRadioButton>("Option4")->isEnabled());
        QCOMPARE(f.field("i10")->isEnabled(), !yearbook);
        QCOMPARE(f.get<QComboBox>("i33")->isEnabled(), yearbook);
        // No list of any picker is left showing, the ones opening covered included.
        for (QWidget* list : f.window->findChildren<QListWidget*>()) {
            QVERIFY2(list->isHidden(), qPrintable(list->objectName()));
        }
        QVERIFY(!f.field("i20")->isHidden());
        QVERIFY(!f.get<QLabel>("Label18")->isHidden());
    } else {
        QVERIFY(target->isVisibleTo(f.window.get()));
        QVERIFY(field->isHidden());
        QVERIFY(!f.tabsSelectable());
        QVERIFY(!f.get<QPushButton>("Command2")->isEnabled());
    }
}

void TabsTest::okWaitsForDirectoryChange_data() {
    QTest::addColumn<QString>("fieldName");
    QTest::addColumn<bool>("yearbook");
    QTest::addColumn<QString>("directories");
    QTest::addColumn<QString>("ok");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<bool>("root");
    QTest::newRow("index source") << "i10" << false << "i12"
                                  << "i13" << qs(kIndex) << qs(key::kSource1) << false;
    QTest::newRow("index source, root") << "i10" << false << "i12"
                                        << "i13" << qs(kIndex) << qs(key::kSource1) << true;
    QTest::newRow("index destination") << "i20" << false << "i22"
                                       << "i23" << qs(kIndex) << qs(key::kDestination1) << false;
    QTest::newRow("yearbook destination, root")
        << "i40" << true << "i42"
        << "i43" << qs(kIndex) << qs(key::kDestination2) << true;
    QTest::newRow("pages destination")
        << "destination" << false << "dirdestination"
        << "validedestination" << qs(kParametres) << qs(key::kDestination) << false;
}

void TabsTest::okWaitsForDirectoryChange() {
    QFETCH(QString, fieldName);
    QFETCH(bool, yearbook);
    QFETCH(QString, directories);
    QFETCH(QString, ok);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(bool, root);
    Fixture f;
    QDir().mkpath(f.env.path(QStringLiteral("pick/sub")));
    f.get<QTabWidget>("onglet")->setCurrentIndex(fieldName == "destination" ? 0 : 2);
    f.get<QRadioButton>(yearbook ? "Option4" : "Option3")->click();
    auto* button = f.get<QPushButton>(qPrintable(ok));
    auto* list = f.get<DirList>(qPrintable(directories));
    QVERIFY(!button->isEnabled());

    QMetaObject::invokeMethod(f.window.get(), qPrintable(fieldName + "_DblClick"));
    QVERIFY(list->isVisibleTo(f.window.get()));
    QVERIFY(!button->isEnabled());
    QVERIFY(!f.get<QPushButton>("Command1")->isEnabled());
    const QString target = root ? QStringLiteral("/") : f.env.path(QStringLiteral("pick/sub"));
    list->setPath(target);
    QVERIFY(button->isEnabled());
    button->click();

    const QString expected = root ? QStringLiteral("/") : target + "/";
    QCOMPARE(f.field(qPrintable(fieldName))->text(), expected);
    QCOMPARE(f.stored(section.toStdString(), key.toStdString()), expected);
    QVERIFY(!button->isEnabled());
    QVERIFY(list->isHidden());
    QVERIFY(f.tabsSelectable());
    QVERIFY(f.get<QPushButton>("Command1")->isEnabled());

    // Opened again, the button waits again for the list to move.
    QMetaObject::invokeMethod(f.window.get(), qPrintable(fieldName + "_DblClick"));
    QVERIFY(list->isVisibleTo(f.window.get()));
    QVERIFY(!button->isEnabled());
}

void TabsTest::modelPickerEnablesSeparatorAndFocusesStart() {
    Fixture f;
    f.env.writeFile(QStringLiteral("models/year.htm"), "<!--tag100-->\n");
    f.env.writeFile(QStringLiteral("models/notes.txt"), "x");
    f.window->show();
    QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
    f.get<QTabWidget>("onglet")->setCurrentIndex(2);
    f.get<QRadioButton>("Option4")->click();
    f.window->i50_DblClick();
    QVERIFY(!f.get<QComboBox>("i33")->isEnabled());
    QVERIFY(!f.get<QRadioButton>("Option3")->isEnabled());
    QVERIFY(f.field("i40")->isHidden());
    QVERIFY(f.get<QLabel>("Label16")->isHidden());
    auto* files = f.get<FileList>("i53");
    f.get<DirList>("i52")->setPath(f.env.path(QStringLiteral("models")));
    QCOMPARE(files->path(), f.env.path(QStringLiteral("models")));
    // Only models are listed.
    QCOMPARE(files->count(), 1);
    files->selectFile(QStringLiteral("year.htm"));
    // What the list reports when the person double-clicks the file.
    emit files->itemDoubleClicked(files->currentItem());

    const QString chosen = f.env.path(QStringLiteral("models/year.htm"));
    QCOMPARE(f.field("i50")->text(), chosen);
    QCOMPARE(f.stored(kIndex, key::kIndexModel), chosen);
    QVERIFY(f.get<QComboBox>("i33")->isEnabled());
    QVERIFY(f.get<QRadioButton>("Option3")->isEnabled());
    QVERIFY(f.field("i40")->isVisible());
    QVERIFY(f.get<QLabel>("Label16")->isVisible());
    QCOMPARE(QApplication::focusWidget(), f.get<QWidget>("Command1"));
}

void TabsTest::dataFileInSubdirectory() {
    Fixture f;
    f.env.writeFile(QStringLiteral("people/staff/list.csv"), "a;b\n");
    f.get<QTabWidget>("onglet")->setCurrentIndex(2);
    f.get<QRadioButton>("Option4")->click();
    f.window->i30_DblClick();
    for (const char* covered : {"i40", "i50", "Label16", "Label20"}) {
        QVERIFY2(f.get<QWidget>(covered)->isHidden(), covered);
    }
    QVERIFY(!f.field("i10")->isEnabled());
    f.get<DirList>("i34")->setPath(f.env.path(QStringLiteral("people/staff")));
    f.get<FileList>("i32")->selectFile(QStringLiteral("list.csv"));
    QTest::keyClick(f.get<FileList>("i32"), Qt::Key_Return);

    const QString chosen = f.env.path(QStringLiteral("people/staff")) + "/list.csv";
    QCOMPARE(f.field("i30")->text(), chosen);
    QCOMPARE(f.stored(kIndex, key::kIndexFile), chosen);
    for (const char* shown : {"i40", "i50", "Label16", "Label20", "i30"}) {
        QVERIFY2(f.get<QWidget>(shown)->isVisibleTo(f.window.get()), shown);
    }
    QVERIFY(f.get<QRadioButton>("Option3")->isEnabled());
    QVERIFY(f.get<QComboBox>("i33")->isEnabled());
    QVERIFY(!f.field("i10")->isEnabled());
    QVERIFY(!f.get<QComboBox>("tagindex2")->isEnabled());
}

void TabsTest::emptiedFieldsStoreOnlyTag99() {
    Fixture f;
    const QString links = f.env.path(QStringLiteral("links")) + "/";
    f.field("hyperdir")->setText(links);
    f.field("Tag99")->setText(QStringLiteral("https://www.example.com/shop/"));
    QCOMPARE(f.stored(kParametres, key::kLien), links);
    QCOMPARE(f.stored(kParametres, key::kTag99), QStringLiteral("https://www.example.com/shop/"));

    f.field("Tag99")->clear();
    f.field("hyperdir")->clear();
    QVERIFY(f.env.iniText().contains(QStringLiteral("Tag99=\r\n")));
    QCOMPARE(f.stored(kParametres, key::kLien), links);
    for (const char* name : {"i10", "i20", "i30", "i40", "i50"}) {
        f.field(name)->clear();
    }
    QCOMPARE(f.stored(kIndex, key::kSource1), f.env.defaultDir());
    QCOMPARE(f.stored(kIndex, key::kDestination2), f.env.defaultDir());
}

void TabsTest::linksOkWithEmptyLinkTagLeavesStart_data() {
    QTest::addColumn<bool>("withLinkTag");
    QTest::addColumn<bool>("startBefore");
    QTest::addColumn<bool>("startAfter");
    QTest::newRow("no link tag, Start disabled") << false << false << false;
    QTest::newRow("no link tag, Start enabled") << false << true << true;
    QTest::newRow("link tag, Start disabled") << true << false << true;
}

void TabsTest::linksOkWithEmptyLinkTagLeavesStart() {
    QFETCH(bool, withLinkTag);
    QFETCH(bool, startBefore);
    QFETCH(bool, startAfter);
    Fixture f;
    QDir().mkpath(f.env.path(QStringLiteral("site")));
    f.get<QTabWidget>("onglet")->setCurrentIndex(1);
    auto* linkTag = f.get<QComboBox>("sourcelien");
    if (!withLinkTag) {
        linkTag->setCurrentIndex(-1);
        linkTag->setEditText(QString());
    }
    auto* start = f.get<QPushButton>("Command1");
    start->setEnabled(startBefore);
    f.window->hyperdir_DblClick();
    auto* ok = f.get<QPushButton>("Command3");
    QVERIFY(ok->isEnabled());
    QVERIFY(!start->isEnabled());
    QVERIFY(!f.get<QTabWidget>("onglet")->isTabEnabled(2));
    QVERIFY(f.field("Tag99")->isHidden());
    f.get<DirList>("Dirlist")->setPath(f.env.path(QStringLiteral("site")));
    ok->click();

    const QString chosen = f.env.path(QStringLiteral("site")) + "/";
    QCOMPARE(f.field("hyperdir")->text(), chosen);
    QCOMPARE(f.stored(kParametres, key::kLien), chosen);
    QCOMPARE(start->isEnabled(), startAfter);
    QVERIFY(!ok->isEnabled());
    QVERIFY(f.field("Tag99")->isVisibleTo(f.window.get()));
    QVERIFY(f.tabsSelectable());
}

void TabsTest::linksPickerKeepsItsLastDirectory() {
    Fixture f;
    QDir().mkpath(f.env.path(QStringLiteral("first")));
    QDir().mkpath(f.env.path(QStringLiteral("second")));
    f.get<QTabWidget>("onglet")->setCurrentIndex(1);
    f.window->hyperdir_DblClick();
    f.get<DirList>("Dirlist")->setPath(f.env.path(QStringLiteral("first")));
    QTest::keyClick(f.get<QWidget>("Dirlist"), Qt::Key_Escape);
    f.field("hyperdir")->setText(f.env.path(QStringLiteral("second")) + "/");

    // Ok at once writes the directory the list showed last, not the field's.
    f.window->hyperdir_DblClick();
    QCOMPARE(f.get<DirList>("Dirlist")->path(), f.env.path(QStringLiteral("first")));
    f.get<QPushButton>("Command3")->click();
    QCOMPARE(f.field("hyperdir")->text(), f.env.path(QStringLiteral("first")) + "/");
}

void TabsTest::chosenTagIsStoredTypedTagIsNot_data() {
    QTest::addColumn<QString>("list");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::newRow("link tag") << "sourcelien" << qs(kParametres) << qs(key::kTextesourceAsWritten);
    QTest::newRow("text tag") << "Textelien" << qs(kParametres) << qs(key::kTextelien);
    QTest::newRow("index text tag") << "Tagindex" << qs(kIndex) << qs(key::kTagIndex);
    QTest::newRow("criterion tag") << "tagindex2" << qs(kIndex) << qs(key::kTagIndex2);
}

void TabsTest::chosenTagIsStoredTypedTagIsNot() {
    QFETCH(QString, list);
    QFETCH(QString, section);
    QFETCH(QString, key);
    Fixture f;
    f.window->show();
    f.get<QTabWidget>("onglet")->setCurrentIndex(list == "sourcelien" || list == "Textelien" ? 1
                                                                                             : 2);
    auto* tags = f.get<QComboBox>(qPrintable(list));
    tags->setCurrentIndex(7);
    emit tags->activated(7);
    QCOMPARE(f.stored(section.toStdString(), key.toStdString()), QStringLiteral("Tag N°7"));

    // Typed, the tag goes to the run but not to the settings file, nor into the list.
    tags->lineEdit()->selectAll();
    QTest::keyClicks(tags->lineEdit(), QStringLiteral("12"));
    QTest::keyClick(tags->lineEdit(), Qt::Key_Return);
    QCOMPARE(tags->currentText(), QStringLiteral("12"));
    QCOMPARE(tags->count(), 101);
    QCOMPARE(f.stored(section.toStdString(), key.toStdString()), QStringLiteral("Tag N°7"));
    RunSettings settings = f.window->runSettings();
    const std::string run = list == "sourcelien"  ? settings.sourcelien
                            : list == "Textelien" ? settings.Textelien
                            : list == "Tagindex"  ? settings.Tagindex
                                                  : settings.tagindex2;
    QCOMPARE(run, std::string("12"));
}

void TabsTest::yearbookSeparatorStoredOnLeaving() {
    Fixture f;
    auto* separator = f.get<QComboBox>("i33");
    separator->setCurrentIndex(3);
    QVERIFY(f.stored(kIndex, key::kSymbole2) != QStringLiteral("3"));
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(separator, &out);
    QCOMPARE(f.stored(kIndex, key::kSymbole2), QStringLiteral("3"));
}

void TabsTest::helpTexts_data() {
    QTest::addColumn<QString>("control");
    QTest::addColumn<int>("tab");
    QTest::addColumn<bool>("byMouse");
    QTest::addColumn<QString>("text");
    QTest::newRow("hyperdir") << "hyperdir" << 1 << true
                              << "Double-cliquez dans le champ pour choisir le répertoire où se "
                                 "trouvent les pages HTML à traiter.";
    QTest::newRow("sourcelien") << "sourcelien" << 1 << false << kLinkTagHelp;
    QTest::newRow("Textelien")
        << "Textelien" << 1 << false
        << "Choisissez le tag dont le contenu sera placé sur chaque lien.\nLe contenu du tag sera "
           "lu dans chaque fichier lié et placé comme texte visible de lien.";
    QTest::newRow("Tag99") << "Tag99" << 1 << false
                           << "Choisissez le texte à placer dans le lien hypertexte.\nExemple : si "
                              "vous écrivez https://www.example.com/catalogue/, le lien complet "
                              "sera :\n<a href=\"https://www.example.com/catalogue/taglien\">"
                              "tagtexte</a><br>";
    QTest::newRow("i10") << "i10" << 2 << true
                         << "Double-cliquez dans le champ pour choisir le repertoire contenant les "
                            "fichiers HTML à partir desquels il faut faire un index.";
    QTest::newRow("i20") << "i20" << 2 << true
                         << "Double-cliquez dans le champ pour choisir le répertoire où seront "
                            "crées les index.";
    QTest::newRow("Tagindex")
        << "Tagindex" << 2 << false
        << "Choisissez le tag dont le contenu sera placé sur chaque lien.\nLe contenu du tag sera "
           "lu dans chaque fichier indexé et placé comme texte visible de lien.";
    QTest::newRow("tagindex2")
        << "tagindex2" << 2 << false
        << "Choisissez le tag à rechercher dans toutes les pages HTML.\nLe tag sélectionné sera "
           "cherché dans toutes les pages et toute page ayant le même contenu sera placée dans "
           "l'index.";
}

void TabsTest::helpTexts() {
    QFETCH(QString, control);
    QFETCH(int, tab);
    QFETCH(bool, byMouse);
    QFETCH(QString, text);
    Fixture f;
    f.window->setHelpInterval(100);
    f.window->show();
    f.get<QTabWidget>("onglet")->setCurrentIndex(tab);
    auto* help = f.get<QLabel>("Aide");
    QWidget* target = f.get<QWidget>(qPrintable(control));
    if (byMouse) {
        QTest::mousePress(target, Qt::RightButton);
    } else {
        focusIn(target, Qt::TabFocusReason);
    }
    QCOMPARE(help->text(), text);
    QVERIFY(f.get<QLabel>("idee")->isVisible());
    QTRY_VERIFY_WITH_TIMEOUT(help->text().isEmpty(), 10000);
    QVERIFY(!f.get<QLabel>("idee")->isVisible());
}

void TabsTest::helpNotShownForFocusBackFromPopup() {
    Fixture f;
    f.window->show();
    f.get<QTabWidget>("onglet")->setCurrentIndex(1);
    focusIn(f.get<QWidget>("sourcelien"), Qt::PopupFocusReason);
    QCOMPARE(f.get<QLabel>("Aide")->text(), QString());
}

void TabsTest::tabbingIntoLinkTagShowsHelp() {
    Fixture f;
    f.window->show();
    QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
    f.get<QTabWidget>("onglet")->setCurrentIndex(1);
    f.get<QWidget>("sourcelien")->setFocus(Qt::TabFocusReason);
    QCOMPARE(f.get<QLabel>("Aide")->text(), kLinkTagHelp);
}

void TabsTest::linkPrefixHelpShowsWebAddress() {
    for (Language language : {Language::French, Language::English}) {
        const QString text = qs(fieldHelp("Tag99")->in(language));
        const QString address = QStringLiteral("https://www.example.com/catalogue/");
        QCOMPARE(text.count(address), 2);
        QVERIFY(text.contains(QStringLiteral("<a href=\"") + address));
        QCOMPARE(text.count(QLatin1Char('\n')), 2);
    }
}

void TabsTest::validationOfEachRun_data() {
    QTest::addColumn<int>("tab");
    QTest::addColumn<bool>("yearbook");
    QTest::addColumn<QStringList>("emptied");
    QTest::addColumn<QString>("message");
    // With several checks failing, the message is the last one's.
    QTest::newRow("pages, all empty")
        << 0 << false << QStringList{"source", "fichiermodele", "destination"}
        << QStringLiteral("Vous devez choisir un répertoire de destination");
    QTest::newRow("pages, data and model empty")
        << 0 << false << QStringList{"source", "fichiermodele"}
        << QStringLiteral("Vous devez choisir un fichier modèle");
    QTest::newRow("pages, data empty") << 0 << false << QStringList{"source"}
                                       << QStringLiteral("Vous devez choisir un fichier source");
    QTest::newRow("hyperlinks, no link tag") << 1 << false << QStringList{"sourcelien"}
                                             << QStringLiteral("Vous devez choisir un Tag de lien");
    QTest::newRow("hyperlinks, no directory")
        << 1 << false << QStringList{"hyperdir"}
        << QStringLiteral("Choisissez un répertoire contenant les fichiers à traiter");
    QTest::newRow("index pages, no criterion tag")
        << 2 << false << QStringList{"tagindex2"}
        << QStringLiteral("Vous devez choisir un Tag de critère");
    QTest::newRow("index pages, no destination")
        << 2 << false << QStringList{"i20"}
        << QStringLiteral("Vous devez choisir un répertoire de destination");
    QTest::newRow("yearbook, no model") << 2 << true << QStringList{"i50"}
                                        << QStringLiteral("Vous devez choisir un fichier modèle");
}

void TabsTest::validationOfEachRun() {
    QFETCH(int, tab);
    QFETCH(bool, yearbook);
    QFETCH(QStringList, emptied);
    QFETCH(QString, message);
    Fixture f;
    f.preparePagesRun(3);
    f.get<QTabWidget>("onglet")->setCurrentIndex(tab);
    f.get<QRadioButton>(yearbook ? "Option4" : "Option3")->click();
    for (const QString& name : emptied) {
        if (auto* list = f.window->findChild<QComboBox*>(name)) {
            list->setCurrentIndex(-1);
            list->setEditText(QString());
        } else {
            f.field(qPrintable(name))->clear();
        }
    }
    f.get<QPushButton>("Command1")->click();
    QCOMPARE(int(f.messages.size()), 1);
    QCOMPARE(f.messages[0].text, message);
    QCOMPARE(f.messages[0].icon, RunHost::Icon::Critical);
    QCOMPARE(f.pagesWritten(), 0);
    // The window is unlocked again.
    QVERIFY(f.tabsSelectable());
    QVERIFY(f.get<QWidget>(qPrintable(emptied.front()))->isEnabled());
    QVERIFY(f.get<QPushButton>("Command2")->isEnabled());
    QVERIFY(f.get<QToolButton>("anglais")->isEnabled());
    QCOMPARE(f.field("i30")->isEnabled(), tab == 2 && yearbook);
}

namespace {

// Pages made by the window's own pages run: `count` pages in two categories (tag 2), each
// with a link block (tag 99), in run/out.
void makePages(Fixture& f, int count) {
    QByteArray data;
    for (int i = 0; i < count; ++i) {
        data += "p" + QByteArray::number(i) + ";Page " + QByteArray::number(i) + ";" +
                (i % 2 == 0 ? "even" : "odd") + ";Name " + QByteArray::number(i) + "\n";
    }
    f.env.writeFile(QStringLiteral("run/data.txt"), data);
    f.env.writeFile(QStringLiteral("run/model.htm"),
                    "<html><head><title>x</title></head><body>\n<!--tag2-->\n<!--/tag2-->\n"
                    "<!--tag3-->\n<!--/tag3-->\n<!--tag99-->\n<!--/tag99-->\n</body></html>\n");
    QDir().mkpath(f.env.path(QStringLiteral("run/out")));
    f.field("source")->setText(f.env.path(QStringLiteral("run/data.txt")));
    f.field("fichiermodele")->setText(f.env.path(QStringLiteral("run/model.htm")));
    f.field("destination")->setText(f.env.path(QStringLiteral("run/out")) + "/");
    f.get<QPushButton>("Command1")->click();
    f.messages.clear();
}

// Starts the current tab's run and clicks Stop twice at the `stopAt`-th event pump; returns
// the status caption the run showed.
QString runAndStop(Fixture& f, int stopAt) {
    auto* start = f.get<QPushButton>("Command1");
    auto* frame = f.get<QGroupBox>("Frame1");
    QString status;
    int pumps = 0;
    f.window->setPumpHook([&] {
        if (++pumps == stopAt) {
            // Past the repaint interval, the progress shown is the run's own, and the clicks
            // come later than a double-click's second click would.
            QThread::msleep(QApplication::doubleClickInterval());
            QCoreApplication::processEvents();
            status = frame->title();
            // A second click arrives while the stop is already requested: still one box.
            QTimer::singleShot(0, start, &QPushButton::click);
            QTimer::singleShot(0, start, &QPushButton::click);
        }
    });
    start->click();
    f.window->setPumpHook(nullptr);
    return status;
}

void expectOneStopBox(const Fixture& f) {
    QCOMPARE(int(f.messages.size()), 1);
    QCOMPARE(f.messages[0].text, QStringLiteral("Traitement interrompu..."));
    QCOMPARE(f.messages[0].icon, RunHost::Icon::Information);
    QVERIFY(f.tabsSelectable());
    QVERIFY(f.get<QPushButton>("Command2")->isEnabled());
    QCOMPARE(f.get<QPushButton>("Command1")->text(), QStringLiteral("Lancer"));
    QVERIFY(!f.window->runState().runInProgress);
}

}  // namespace

void TabsTest::linkPrefixReachesTheRun() {
    Fixture f;
    makePages(f, 4);
    const QString out = f.env.path(QStringLiteral("run/out"));
    f.get<QTabWidget>("onglet")->setCurrentIndex(1);
    f.field("hyperdir")->setText(out + "/");
    f.field("Tag99")->setText(QStringLiteral("https://www.example.com/catalogue/"));
    f.get<QPushButton>("Command1")->click();
    QCOMPARE(int(f.messages.size()), 1);
    QCOMPARE(f.messages[0].text, QStringLiteral("Traitement terminé..."));
    QFile page(out + "/p0.htm");
    QVERIFY(page.open(QIODevice::ReadOnly));
    const QByteArray html = page.readAll();
    // p0 and p2 share their category (tag 2); the link shows p2's text tag.
    QVERIFY2(html.contains("\"https://www.example.com/catalogue/p2.htm\">Name 2</a><br>"),
             html.constData());
    QVERIFY(!html.contains("p1.htm"));
}

void TabsTest::stopDuringHyperlinksLeavesPagesUntouched() {
    Fixture f;
    makePages(f, 40);
    const QString out = f.env.path(QStringLiteral("run/out"));
    const auto before = snapshot(out);
    QCOMPARE(int(before.size()), 40);
    f.get<QTabWidget>("onglet")->setCurrentIndex(1);
    f.field("hyperdir")->setText(out + "/");
    QString status = runAndStop(f, 5);
    QCOMPARE(status, QStringLiteral("Génération des liens hypertexte en cours..."));
    expectOneStopBox(f);
    QVERIFY(snapshot(out) == before);
    QVERIFY(f.field("hyperdir")->isEnabled());
    QVERIFY(f.get<QComboBox>("sourcelien")->isEnabled());
}

void TabsTest::stopDuringIndexPagesWritesNoIndex() {
    Fixture f;
    makePages(f, 40);
    const QString index = f.env.path(QStringLiteral("run/index"));
    QDir().mkpath(index);
    f.get<QTabWidget>("onglet")->setCurrentIndex(2);
    f.get<QRadioButton>("Option3")->click();
    f.field("i10")->setText(f.env.path(QStringLiteral("run/out")) + "/");
    f.field("i20")->setText(index + "/");
    QString status = runAndStop(f, 5);
    QCOMPARE(status, QStringLiteral("Génération des index en cours..."));
    expectOneStopBox(f);
    QVERIFY(snapshot(index).empty());
    QVERIFY(f.field("i10")->isEnabled());
    QVERIFY(!f.field("i30")->isEnabled());
}

void TabsTest::stopDuringYearbookKeepsFinishedRecords() {
    Fixture f;
    QByteArray data;
    for (int i = 0; i < 300; ++i) {
        data += "Person " + QByteArray::number(i) + ";Office " + QByteArray::number(i) + "\n";
    }
    f.env.writeFile(QStringLiteral("year/data.csv"), data);
    f.env.writeFile(QStringLiteral("year/model.htm"),
                    "<html><body>\n<!--tag100-->\n<p>\n<!--tag0-->\n<!--/tag0-->\n</p>\n"
                    "<!--/tag100-->\n</body></html>\n");
    const QString out = f.env.path(QStringLiteral("year/out"));
    QDir().mkpath(out);
    f.get<QTabWidget>("onglet")->setCurrentIndex(2);
    f.get<QRadioButton>("Option4")->click();
    f.field("i30")->setText(f.env.path(QStringLiteral("year/data.csv")));
    f.field("i50")->setText(f.env.path(QStringLiteral("year/model.htm")));
    f.field("i40")->setText(out + "/");
    QString status = runAndStop(f, 20);
    QCOMPARE(status, QStringLiteral("Génération de l'annuaire en cours..."));
    expectOneStopBox(f);
    // The page holds the records finished before the stop, and no work file is left.
    QFile page(out + "/Index_One_Page.htm");
    QVERIFY(page.open(QIODevice::ReadOnly));
    const QByteArray text = page.readAll();
    QVERIFY(text.contains("Person 0\r\n"));
    QVERIFY(!text.contains("Person 299"));
    for (const auto& [name, bytes] : snapshot(out)) {
        QVERIFY2(!name.startsWith('.'), qPrintable(name));
    }
    QVERIFY(f.field("i30")->isEnabled());
    QVERIFY(!f.field("i10")->isEnabled());
}

}  // namespace pw::test

int main(int argc, char** argv) {
    return pw::test::runWindowTests<pw::test::TabsTest>(argc, argv);
}

#include "tabs_test.moc"
