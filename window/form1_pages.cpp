// The pages tab: naming and titling methods, the naming example, the three path fields and
// their in-window pickers.
#include <QComboBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QToolButton>

#include "engine/disk.h"
#include "engine/line_reader.h"
#include "engine/page_naming.h"
#include "engine/separators.h"
#include "settings/settings_writes.h"
#include "window/form1.h"
#include "window/list_widgets.h"

namespace pw {

namespace {

QString qs(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::string ss(const QString& text) {
    return text.toUtf8().toStdString();
}

// Which picker of the pages tab is open.
enum class PagesPicker { DataFile, ModelFile, Destination };

}  // namespace

std::array<std::string, 4> Form1::namingTagTexts() const {
    std::array<std::string, 4> tags;
    for (int i = 0; i < 4; ++i) {
        tags[i] = ss(nomdufichierhtm[i]->currentText());
    }
    return tags;
}

void Form1::Option1_Click() {
    for (int i = 0; i < 4; ++i) {
        nomdufichierhtm[i]->hide();
        nomdufichierhtm[i]->setCurrentIndex(-1);
        // An empty list after the first waits for the one before it to be chosen.
        nomdufichierhtm[i]->setEnabled(i == 0);
    }
    exemplenom->hide();
    if (!writesSilenced()) {
        writeNamingMethod(m_settings.file, NamingMethod::FirstColumn,
                          ss(nomdufichierhtm[4]->currentText()));
    }
}

void Form1::Option2_Click() {
    for (int i = 0; i < 4; ++i) {
        nomdufichierhtm[i]->show();
    }
    nomdufichierhtm[0]->setEnabled(true);
    exemplenom->show();
    if (!writesSilenced()) {
        writeNamingMethod(m_settings.file, NamingMethod::FromTags);
    }
}

void Form1::titrep1_Click() {
    nomdufichierhtm[4]->hide();
    m_state.titleColumn = 1;
    nomdufichierhtm[4]->setCurrentIndex(-1);
    if (!writesSilenced()) {
        writeTitleMethod(m_settings.file, TitleMethod::SecondColumn);
    }
}

void Form1::titrep2_Click() {
    nomdufichierhtm[4]->show();
    if (!writesSilenced()) {
        writeTitleMethod(m_settings.file, TitleMethod::FromTag);
    }
}

void Form1::nomdufichierhtm_Click(int) {
    // Each chosen list opens the next one; the caption is the name the record in the column
    // table would give.
    for (int c = 0; c < 3; ++c) {
        if (nomdufichierhtm[c]->currentIndex() >= 0 &&
            !nomdufichierhtm[c]->currentText().isEmpty()) {
            nomdufichierhtm[c + 1]->setEnabled(true);
        }
    }
    exemplenom->setText(qs(namingExample(m_language, namingTagTexts(), m_state.columns)));
    if (!nomdufichierhtm[4]->currentText().isEmpty()) {
        m_state.titleColumn = titleColumnOf(true, ss(nomdufichierhtm[4]->currentText()));
    }
    if (!writesSilenced()) {
        std::array<std::string, 5> texts;
        for (int c = 0; c < 5; ++c) {
            texts[c] = ss(nomdufichierhtm[c]->currentText());
        }
        writeNamingTags(m_settings.file, texts);
    }
}

void Form1::p_exemple() {
    FileHandle file = openForReading(ss(source->text()));
    if (!file.valid()) {
        return;
    }
    LineReader reader = LineReader::fromFd(file.fd());
    reader.skipByteOrderMark();
    std::string_view line;
    if (reader.next(line)) {
        m_state.columns.split(line, separatorAt(separateur->currentIndex()));
    }
}

void Form1::separateur_LostFocus() {
    if (!writesSilenced()) {
        writeSeparatorIndex(m_settings.file, key::kSymbole, separateur->currentIndex());
    }
}

void Form1::source_Change() {
    writeIfNotEmpty(kParametres, key::kSource, source->text());
    p_exemple();
}

void Form1::fichiermodele_Change() {
    writeIfNotEmpty(kParametres, key::kModele, fichiermodele->text());
}

void Form1::destination_Change() {
    writeIfNotEmpty(kParametres, key::kDestination, destination->text());
}

namespace {

// The directory a field's path lies in, when it exists.
QString directoryOfField(const QString& text, bool isDirectory) {
    if (text.isEmpty()) {
        return {};
    }
    QString directory = isDirectory ? text : QFileInfo(text).path();
    return QFileInfo(directory).isDir() ? directory : QString();
}

}  // namespace

void Form1::openPagesPicker() {
    francais->setEnabled(false);
    anglais->setEnabled(false);
    defaut->setEnabled(false);
    Command1->setEnabled(false);
    Command2->setEnabled(false);
    onglet->setTabEnabled(1, false);
    onglet->setTabEnabled(2, false);
}

void Form1::source_DblClick() {
    if (!source->isEnabled()) {
        return;
    }
    openPagesPicker();
    QString directory = directoryOfField(source->text(), false);
    if (!directory.isEmpty()) {
        Drive1->showVolumeOf(directory);
        ficdir->setPathSilently(directory);
    }
    ficsource->setPath(ficdir->path());
    ficsource->selectFile(QFileInfo(source->text()).fileName());
    for (QWidget* hidden : std::initializer_list<QWidget*>{
             source, fichiermodele, destination, Label5, Label7, nompage, nomdufichierhtm[0],
             nomdufichierhtm[1], nomdufichierhtm[2], nomdufichierhtm[3], exemplenom}) {
        hidden->hide();
    }
    separateur->setEnabled(false);
    Frame5->setEnabled(false);
    Label4->show();
    picker1->show();
    Drive1->show();
    ficdir->show();
    ficsource->show();
    ficsource->setFocus();
}

void Form1::fichiermodele_DblClick() {
    if (!fichiermodele->isEnabled()) {
        return;
    }
    openPagesPicker();
    QString directory = directoryOfField(fichiermodele->text(), false);
    if (!directory.isEmpty()) {
        Drive2->showVolumeOf(directory);
        Dirmodele->setPathSilently(directory);
    }
    ficmodele->setPath(Dirmodele->path());
    ficmodele->selectFile(QFileInfo(fichiermodele->text()).fileName());
    for (QWidget* hidden :
         std::initializer_list<QWidget*>{fichiermodele, destination, Label5, nompage}) {
        hidden->hide();
    }
    source->setEnabled(false);
    separateur->setEnabled(false);
    Frame5->setEnabled(false);
    Label4->show();
    Label7->show();
    picker2->show();
    Drive2->show();
    Dirmodele->show();
    ficmodele->show();
    ficmodele->setFocus();
}

void Form1::destination_DblClick() {
    if (!destination->isEnabled()) {
        return;
    }
    openPagesPicker();
    QString directory = directoryOfField(destination->text(), true);
    if (!directory.isEmpty()) {
        Drive3->showVolumeOf(directory);
        dirdestination->setPathSilently(directory);
    }
    for (QWidget* hidden :
         std::initializer_list<QWidget*>{destination, Label12, Option1, Option2, nompage}) {
        hidden->hide();
    }
    source->setEnabled(false);
    fichiermodele->setEnabled(false);
    separateur->setEnabled(false);
    Frame5->setEnabled(false);
    Label4->show();
    Label5->show();
    Label7->show();
    picker3->show();
    Drive3->show();
    dirdestination->setMinimumHeight(100);
    dirdestination->show();
    validedestination->setEnabled(false);
    validedestination->show();
    dirdestination->setFocus();
}

void Form1::Drive1_Change() {
    ficdir->setPath(Drive1->drive());
}
void Form1::Drive2_Change() {
    Dirmodele->setPath(Drive2->drive());
}
void Form1::Drive3_Change() {
    dirdestination->setPath(Drive3->drive());
}

void Form1::ficdir_Change() {
    ficsource->setPath(ficdir->path());
}
void Form1::Dirmodele_Change() {
    ficmodele->setPath(Dirmodele->path());
}
void Form1::dirdestination_Change() {
    validedestination->setEnabled(true);
}

void Form1::ficsource_DblClick() {
    if (!ficsource->fileName().isEmpty()) {
        p_refresh_fichier_source();
    }
}

void Form1::ficmodele_DblClick() {
    if (!ficmodele->fileName().isEmpty()) {
        p_refresh_fichier_modele();
    }
}

void Form1::validedestination_Click() {
    p_refresh_destination_html();
    if (!destination->text().isEmpty()) {
        Command1->setEnabled(true);
        writeIfNotEmpty(kParametres, key::kDestination, destination->text());
    }
}

namespace {

// Escape in a picker's list closes it without touching the field.
template <class Close>
void cancelOnEscape(int key, bool& cancelFlag, Close close) {
    if (key != kEscapeKey) {
        return;
    }
    cancelFlag = true;
    close();
    cancelFlag = false;
}

}  // namespace

void Form1::Drive1_KeyPress(int key) {
    cancelOnEscape(key, m_pickerCancel, [this] { p_refresh_fichier_source(); });
}
void Form1::ficdir_KeyPress(int key) {
    cancelOnEscape(key, m_pickerCancel, [this] { p_refresh_fichier_source(); });
}
void Form1::ficsource_KeyPress(int key) {
    cancelOnEscape(key, m_pickerCancel, [this] { p_refresh_fichier_source(); });
}
void Form1::Drive2_KeyPress(int key) {
    cancelOnEscape(key, m_pickerCancel, [this] { p_refresh_fichier_modele(); });
}
void Form1::Dirmodele_KeyPress(int key) {
    cancelOnEscape(key, m_pickerCancel, [this] { p_refresh_fichier_modele(); });
}
void Form1::ficmodele_KeyPress(int key) {
    cancelOnEscape(key, m_pickerCancel, [this] { p_refresh_fichier_modele(); });
}
void Form1::Drive3_KeyPress(int key) {
    cancelOnEscape(key, m_pickerCancel, [this] { p_refresh_destination_html(); });
}
void Form1::dirdestination_KeyPress(int key) {
    cancelOnEscape(key, m_pickerCancel, [this] { p_refresh_destination_html(); });
}

void Form1::closePagesPicker() {
    francais->setEnabled(true);
    anglais->setEnabled(true);
    defaut->setEnabled(true);
    for (QWidget* shown :
         std::initializer_list<QWidget*>{source, fichiermodele, destination, Label4, Label5, Label7,
                                         Label12, Option1, Option2, nompage}) {
        shown->show();
        shown->setEnabled(true);
    }
    separateur->setEnabled(true);
    Frame5->setEnabled(true);
}

void Form1::p_refresh_fichier_source() {
    // The lists go first, so the window never holds both the picker and the fields.
    for (QWidget* hidden : std::initializer_list<QWidget*>{Drive1, ficdir, ficsource, picker1}) {
        hidden->hide();
    }
    closePagesPicker();
    if (!m_pickerCancel) {
        source->setText(withTrailingSeparator(ficdir->path()) + ficsource->fileName());
    }
    // The naming lists and the example come back as the chosen naming method needs them.
    if (Option2->isChecked()) {
        for (int i = 0; i < 4; ++i) {
            nomdufichierhtm[i]->show();
        }
        exemplenom->show();
    }
    ficmodele->setPattern(QStringLiteral("*.htm"));
    onglet->setTabEnabled(1, true);
    onglet->setTabEnabled(2, true);
    defaut->setEnabled(true);
    Command1->setEnabled(true);
    Command2->setEnabled(true);
    Command1->setFocus();
}

void Form1::p_refresh_fichier_modele() {
    // The lists go first, so the window never holds both the picker and the fields.
    for (QWidget* hidden : std::initializer_list<QWidget*>{Drive2, Dirmodele, ficmodele, picker2}) {
        hidden->hide();
    }
    closePagesPicker();
    if (!m_pickerCancel) {
        fichiermodele->setText(withTrailingSeparator(Dirmodele->path()) + ficmodele->fileName());
    }
    onglet->setTabEnabled(1, true);
    onglet->setTabEnabled(2, true);
    defaut->setEnabled(true);
    Command1->setEnabled(true);
    Command2->setEnabled(true);
    Command1->setFocus();
}

void Form1::p_refresh_destination_html() {
    // The lists go first, so the window never holds both the picker and the fields.
    for (QWidget* hidden :
         std::initializer_list<QWidget*>{Drive3, dirdestination, validedestination, picker3}) {
        hidden->hide();
    }
    closePagesPicker();
    if (!m_pickerCancel) {
        destination->setText(withTrailingSeparator(dirdestination->path()));
    }
    onglet->setTabEnabled(1, true);
    onglet->setTabEnabled(2, true);
    defaut->setEnabled(true);
    Command1->setEnabled(true);
    Command2->setEnabled(true);
    Command1->setFocus();
}

}  // namespace pw
