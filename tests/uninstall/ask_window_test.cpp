// The uninstall program's question window, driven offscreen: the answer is yes only when the
// person chooses to remove.
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include "uninstall/ask_window.h"

namespace {

class AskWindowTest : public QObject {
    Q_OBJECT

  private slots:
    void theAnswerIsYesOnlyWhenRemoveIsChosen_data() {
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("expectedButton");
        QTest::addColumn<bool>("expected");
        int french = static_cast<int>(pw::Language::French);
        int english = static_cast<int>(pw::Language::English);
        QTest::newRow("remove") << english << "remove"
                                << "Remove" << true;
        QTest::newRow("remove nothing") << english << "keep"
                                        << "Remove nothing" << false;
        QTest::newRow("escape") << english << "escape"
                                << "Remove" << false;
        QTest::newRow("enter takes the default, remove nothing") << english << "enter"
                                                                 << "Remove" << false;
        QTest::newRow("supprimer") << french << "remove"
                                   << "Supprimer" << true;
        QTest::newRow("ne rien supprimer") << french << "keep"
                                           << "Ne rien supprimer" << false;
    }

    void theAnswerIsYesOnlyWhenRemoveIsChosen() {
        QFETCH(int, language);
        QFETCH(QString, action);
        QFETCH(QString, expectedButton);
        QFETCH(bool, expected);
        QString shownListing;
        QString buttonText;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(box != nullptr);
            shownListing = box->informativeText();
            auto* button = box->findChild<QPushButton*>(action == "keep" ? "keep" : "remove");
            QVERIFY(button != nullptr);
            buttonText = button->text();
            if (action == "escape") {
                QTest::keyClick(box, Qt::Key_Escape);
            } else if (action == "enter") {
                QTest::keyClick(box, Qt::Key_Return);
            } else {
                button->click();
            }
        });
        bool answer = pw::askInWindow("Uninstalling Pagewright removes:\n  /usr/local/bin/unpage\n",
                                      static_cast<pw::Language>(language));
        QCOMPARE(answer, expected);
        QVERIFY(shownListing.contains("/usr/local/bin/unpage"));
        QCOMPARE(buttonText, expectedButton);
    }
};

}  // namespace

QTEST_MAIN(AskWindowTest)
#include "ask_window_test.moc"
