// The store handlers of the hyperlinks and index tabs: each choice is written to the settings
// file the moment it is made.
#include <QComboBox>

#include "settings/settings_writes.h"
#include "window/form1.h"
#include "window/list_widgets.h"
#include "window/qt_text.h"

namespace pw {

void Form1::writeIndexKey(std::string_view name, const QString& text) {
    if (!writesSilenced()) {
        stored(writeKey(m_settings.file, kIndex, name, ss(text)));
    }
}

void Form1::hyperdir_Change() {
    writeIfNotEmpty(kParametres, key::kLien, hyperdir->text());
}

void Form1::sourcelien_Click() {
    writeIfNotEmpty(kParametres, key::kTextesourceAsWritten, sourcelien->currentText());
}

void Form1::Textelien_Click() {
    writeIfNotEmpty(kParametres, key::kTextelien, Textelien->currentText());
}

void Form1::Tag99_Change() {
    // The one field stored also when emptied: no link prefix is a choice of its own.
    if (!writesSilenced()) {
        stored(writeKey(m_settings.file, kParametres, key::kTag99, ss(Tag99->text())));
    }
}

void Form1::i10_Change() {
    writeIfNotEmpty(kIndex, key::kSource1, i10->text());
}

void Form1::i20_Change() {
    writeIfNotEmpty(kIndex, key::kDestination1, i20->text());
}

void Form1::i30_Change() {
    writeIfNotEmpty(kIndex, key::kIndexFile, i30->text());
}

void Form1::i40_Change() {
    writeIfNotEmpty(kIndex, key::kDestination2, i40->text());
}

void Form1::i50_Change() {
    writeIfNotEmpty(kIndex, key::kIndexModel, i50->text());
}

void Form1::i33_LostFocus() {
    if (!writesSilenced()) {
        stored(writeSeparatorIndex(m_settings.file, key::kSymbole2, i33->currentIndex()));
    }
}

void Form1::Tagindex_Click() {
    writeIfNotEmpty(kIndex, key::kTagIndex, Tagindex->currentText());
}

void Form1::tagindex2_Click() {
    writeIfNotEmpty(kIndex, key::kTagIndex2, tagindex2->currentText());
}

}  // namespace pw
