// The pages tab: naming and titling methods, the naming example and the three path fields.
#include <QComboBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QToolButton>

#include "engine/data_file.h"
#include "engine/page_naming.h"
#include "engine/separators.h"
#include "settings/settings_writes.h"
#include "window/form1.h"
#include "window/list_widgets.h"
#include "window/qt_text.h"

namespace pw {

std::array<std::string, 4> Form1::namingTagTexts() const {
    std::array<std::string, 4> tags;
    for (int i = 0; i < 4; ++i) {
        tags[i] = ss(nomdufichierhtm[i]->currentText());
    }
    return tags;
}

void Form1::enableTagLists() {
    if (m_state.runInProgress) {
        return;
    }
    auto chosen = [this](int c) {
        return nomdufichierhtm[c]->currentIndex() >= 0 &&
               !nomdufichierhtm[c]->currentText().isEmpty();
    };
    // A name is composed from the first list on: an empty list after the first waits for the
    // one before it to be chosen.
    for (int c = 0; c < 4; ++c) {
        nomdufichierhtm[c]->setEnabled(c == 0 || chosen(c) || chosen(c - 1));
    }
    nomdufichierhtm[4]->setEnabled(true);
}

void Form1::Option1_Click() {
    for (int i = 0; i < 4; ++i) {
        nomdufichierhtm[i]->hide();
        nomdufichierhtm[i]->setCurrentIndex(-1);
    }
    enableTagLists();
    exemplenom->hide();
    if (!writesSilenced()) {
        stored(writeNamingMethod(m_settings.file, NamingMethod::FirstColumn,
                                 ss(nomdufichierhtm[4]->currentText())));
    }
}

void Form1::Option2_Click() {
    for (int i = 0; i < 4; ++i) {
        nomdufichierhtm[i]->show();
    }
    enableTagLists();
    exemplenom->show();
    if (!writesSilenced()) {
        stored(writeNamingMethod(m_settings.file, NamingMethod::FromTags));
    }
}

void Form1::titrep1_Click() {
    nomdufichierhtm[4]->hide();
    m_state.titleColumn = 1;
    nomdufichierhtm[4]->setCurrentIndex(-1);
    if (!writesSilenced()) {
        stored(writeTitleMethod(m_settings.file, TitleMethod::SecondColumn));
    }
}

void Form1::titrep2_Click() {
    nomdufichierhtm[4]->show();
    enableTagLists();
    if (!writesSilenced()) {
        stored(writeTitleMethod(m_settings.file, TitleMethod::FromTag));
    }
}

void Form1::nomdufichierhtm_Click(int) {
    // Each chosen list opens the next one; the caption is the name the record in the column
    // table would give.
    enableTagLists();
    exemplenom->setFullText(qs(namingExample(m_language, namingTagTexts(), m_state.columns)));
    if (!nomdufichierhtm[4]->currentText().isEmpty()) {
        m_state.titleColumn = titleColumnOf(true, ss(nomdufichierhtm[4]->currentText()));
    }
    if (!writesSilenced()) {
        std::array<std::string, 5> texts;
        for (int c = 0; c < 5; ++c) {
            texts[c] = ss(nomdufichierhtm[c]->currentText());
        }
        stored(writeNamingTags(m_settings.file, texts));
    }
}

void Form1::p_exemple() {
    (void)readFirstRecord(Env::system(), ss(source->text()),
                          separatorAt(separateur->currentIndex()), m_state.columns);
}

void Form1::separateur_LostFocus() {
    if (!writesSilenced()) {
        stored(writeSeparatorIndex(m_settings.file, key::kSymbole, separateur->currentIndex()));
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

}  // namespace pw
