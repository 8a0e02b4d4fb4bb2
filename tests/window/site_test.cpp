// A whole site built through the window from the installed samples: the pages, their
// cross-links, the index pages and the yearbook, all into one directory.
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTest>
#include <map>
#include <set>

#include "tests/window/window_fixture.h"

namespace pw::test {

namespace {

QString readText(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// The targets of the links in `html`.
std::set<QString> linkTargets(const QString& html) {
    std::set<QString> targets;
    static const QRegularExpression href(QStringLiteral("href *= *\"([^\"]*)\""));
    for (auto it = href.globalMatch(html); it.hasNext();) {
        targets.insert(it.next().captured(1));
    }
    return targets;
}

// The text between a page's link-block markers.
QString linkBlock(const QString& html) {
    qsizetype open = html.indexOf(QStringLiteral("<!--tag99-->"));
    qsizetype close = html.indexOf(QStringLiteral("<!--/tag99-->"));
    return open < 0 || close < open ? QString() : html.mid(open, close - open);
}

}  // namespace

class SiteTest : public QObject {
    Q_OBJECT
  private slots:
    void sampleSiteThroughTheWindow();
};

void SiteTest::sampleSiteThroughTheWindow() {
    Fixture f([](WindowTestEnv& env) { env.useInstallDir(PW_BIN_DIR); });
    const QString site = f.env.path(QStringLiteral("site"));
    QDir().mkpath(site);
    const QString done = QStringLiteral("Traitement terminé...");
    auto* tabs = f.get<QTabWidget>("onglet");
    auto* start = f.get<QPushButton>("Command1");
    auto runTab = [&](int tab) {
        tabs->setCurrentIndex(tab);
        f.messages.clear();
        start->click();
        QCOMPARE(int(f.messages.size()), 1);
        QCOMPARE(f.messages[0].text, done);
    };

    // The sample data: page name in column 0, category in column 2, link text in column 3.
    const QString dataPath = f.field("source")->text();
    QVERIFY2(QFile::exists(dataPath), qPrintable(dataPath));
    std::map<QString, std::set<QString>> categories;
    std::map<QString, QString> categoryOf;
    std::map<QString, QString> titleOf;
    for (const QString& line : readText(dataPath).split('\n', Qt::SkipEmptyParts)) {
        QStringList columns = line.trimmed().split(';');
        QVERIFY(columns.size() > 3);
        const QString page = columns[0] + ".htm";
        categories[columns[2]].insert(page);
        categoryOf[page] = columns[2];
        titleOf[page] = columns[3];
    }
    QVERIFY(categories.size() >= 2);

    f.field("destination")->setText(site + "/");
    runTab(0);
    QCOMPARE(QDir(site).entryList({QStringLiteral("*.htm")}, QDir::Files).size(),
             qsizetype(categoryOf.size()));

    f.field("hyperdir")->setText(site + "/");
    QCOMPARE(f.get<QComboBox>("sourcelien")->currentText(), QStringLiteral("Tag N°2"));
    QCOMPARE(f.get<QComboBox>("Textelien")->currentText(), QStringLiteral("Tag N°3"));
    runTab(1);

    tabs->setCurrentIndex(2);
    f.get<QRadioButton>("Option3")->click();
    f.field("i10")->setText(site + "/");
    f.field("i20")->setText(site + "/");
    runTab(2);

    f.get<QRadioButton>("Option4")->click();
    f.field("i40")->setText(site + "/");
    runTab(2);

    // Every page links to the other pages of its category, by their link text, and to its
    // category's index page.
    for (const auto& [page, category] : categoryOf) {
        const QString html = readText(site + "/" + page);
        QVERIFY2(!html.isEmpty(), qPrintable(page));
        std::set<QString> expected = categories[category];
        expected.erase(page);
        const QString block = linkBlock(html);
        QCOMPARE(linkTargets(block), expected);
        for (const QString& partner : expected) {
            QVERIFY2(block.contains(QStringLiteral("\">") + titleOf[partner] + "</a><br>"),
                     qPrintable(page + " → " + partner));
        }
        QVERIFY2(linkTargets(html).count("index_" + category + ".htm") == 1, qPrintable(page));
    }
    // Each category's index page lists exactly that category's pages.
    for (const auto& [category, pages] : categories) {
        const QString index = readText(site + "/index_" + category + ".htm");
        QVERIFY2(!index.isEmpty(), qPrintable(category));
        std::set<QString> listed;
        for (const QString& target : linkTargets(index)) {
            if (categoryOf.count(target) != 0) {
                listed.insert(target);
            }
        }
        QCOMPARE(listed, pages);
    }
    // The yearbook page holds every person of the yearbook data, with its background.
    const QString yearbook = readText(site + "/Index_One_Page.htm");
    for (const QString& line : readText(f.field("i30")->text()).split('\n', Qt::SkipEmptyParts)) {
        const QString person = line.section(';', 0, 0).trimmed();
        QVERIFY2(yearbook.contains(person), qPrintable(person));
    }
    QVERIFY(QFile::exists(site + "/Backgrd.gif"));
    // Nothing else was left in the site: no work file.
    for (const QString& name : QDir(site).entryList(QDir::Files | QDir::Hidden)) {
        QVERIFY2(!name.startsWith('.'), qPrintable(name));
    }
}

}  // namespace pw::test

int main(int argc, char** argv) {
    return pw::test::runWindowTests<pw::test::SiteTest>(argc, argv);
}

#include "site_test.moc"
