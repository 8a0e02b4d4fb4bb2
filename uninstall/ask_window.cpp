#include "uninstall/ask_window.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <memory>

#include "pagewright_version.h"

namespace pw {

namespace {

// The uninstall program has no application object of its own until it needs a window.
std::unique_ptr<QApplication> applicationIfNone() {
    if (QApplication::instance() != nullptr) {
        return nullptr;
    }
    static int argc = 1;
    static char name[] = "pagewright-uninstall";
    static char* argv[] = {name, nullptr};
    return std::make_unique<QApplication>(argc, argv);
}

QString title() {
    return QStringLiteral("Uninstall Pagewright " PAGEWRIGHT_VERSION);
}

QString text(Language language, const char* french, const char* english) {
    return QString::fromUtf8(language == Language::French ? french : english);
}

}  // namespace

bool canShowWindow() {
    return true;
}

bool askInWindow(const std::string& listing, Language language) {
    std::unique_ptr<QApplication> application = applicationIfNone();
    QMessageBox box(QMessageBox::Question, title(),
                    text(language, "Supprimer Pagewright ?", "Remove Pagewright?"));
    box.setObjectName(QStringLiteral("uninstallQuestion"));
    box.setInformativeText(QString::fromStdString(listing));
    QPushButton* remove =
        box.addButton(text(language, "Supprimer", "Remove"), QMessageBox::AcceptRole);
    QPushButton* keep = box.addButton(text(language, "Ne rien supprimer", "Remove nothing"),
                                      QMessageBox::RejectRole);
    remove->setObjectName(QStringLiteral("remove"));
    keep->setObjectName(QStringLiteral("keep"));
    box.setDefaultButton(keep);
    box.setEscapeButton(keep);
    box.exec();
    return box.clickedButton() == remove;
}

void tellInWindow(const std::string& report, Language language) {
    std::unique_ptr<QApplication> application = applicationIfNone();
    QMessageBox box(QMessageBox::Information, title(),
                    text(language, "Désinstallation terminée.", "Uninstall finished."));
    box.setObjectName(QStringLiteral("uninstallReport"));
    box.setInformativeText(QString::fromStdString(report));
    box.exec();
}

}  // namespace pw
