// The in-window path pickers of the three tabs. Each picker is one entry of a table: what it
// covers while open, which of its lists take Escape, how it accepts; opening, navigating,
// accepting and closing are the same code for all of them.
#include <QComboBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QToolButton>

#include "settings/settings_writes.h"
#include "window/form1.h"
#include "window/list_widgets.h"

namespace pw {

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

void Form1::buildPickers() {
    auto& data = m_pickers[kDataFilePicker];
    data.field = source;
    data.drive = Drive1;
    data.directories = ficdir;
    data.files = ficsource;
    data.tab = 0;
    data.lists = {picker1, Drive1, ficdir, ficsource};
    data.hides = {fichiermodele,
                  destination,
                  Label5,
                  Label7,
                  nompage,
                  nomdufichierhtm[0],
                  nomdufichierhtm[1],
                  nomdufichierhtm[2],
                  nomdufichierhtm[3],
                  exemplenom};
    data.disables = {separateur, Frame5};
    data.shows = {Label4};
    data.escapeLists = {Drive1, ficdir, ficsource};
    data.focus = ficsource;

    auto& model = m_pickers[kModelPicker];
    model.field = fichiermodele;
    model.drive = Drive2;
    model.directories = Dirmodele;
    model.files = ficmodele;
    model.tab = 0;
    model.lists = {picker2, Drive2, Dirmodele, ficmodele};
    model.hides = {destination, Label5, nompage};
    model.disables = {source, separateur, Frame5};
    model.shows = {Label4, Label7};
    model.escapeLists = {Drive2, Dirmodele, ficmodele};
    model.focus = ficmodele;

    auto& target = m_pickers[kDestinationPicker];
    target.field = destination;
    target.drive = Drive3;
    target.directories = dirdestination;
    target.ok = validedestination;
    target.tab = 0;
    target.lists = {picker3, Drive3, dirdestination, validedestination};
    target.hides = {Label12, Option1, Option2, nompage};
    target.disables = {source, fichiermodele, separateur, Frame5};
    target.shows = {Label4, Label5, Label7};
    target.escapeLists = {Drive3, dirdestination};
    target.focus = dirdestination;
    target.accepted = [this] {
        if (!destination->text().isEmpty()) {
            Command1->setEnabled(true);
            writeIfNotEmpty(kParametres, key::kDestination, destination->text());
        }
    };

    // The hyperlinks picker opens where it was last left, with Ok usable at once, and leaves
    // Start enabled only when the tab has what a run needs.
    auto& links = m_pickers[kLinksPicker];
    links.field = hyperdir;
    links.drive = Drive4;
    links.directories = Dirlist;
    links.ok = Command3;
    links.tab = 1;
    links.lists = {Drive4, Dirlist};
    links.hides = {Label6, Label9, sourcelien, Textelien, Label10, Tag99, Text1, Text2};
    links.escapeLists = {Dirlist, Drive4};
    links.focus = Dirlist;
    links.okAtOnce = true;
    links.followsField = false;
    links.restoresStart = true;
    links.accepted = [this] {
        if (!hyperdir->text().isEmpty() && !sourcelien->currentText().isEmpty()) {
            Command1->setEnabled(true);
            writeIfNotEmpty(kParametres, key::kLien, hyperdir->text());
        }
    };

    auto& pagesSource = m_pickers[kI10Picker];
    pagesSource.field = i10;
    pagesSource.drive = i11;
    pagesSource.directories = i12;
    pagesSource.ok = i13;
    pagesSource.tab = 2;
    pagesSource.lists = {i11, i12};
    pagesSource.hides = {Label18, i20, i21, i22, i23};
    pagesSource.disables = {Option4, i30, i33, Tagindex, tagindex2, i40, i41, i42};
    pagesSource.escapeLists = {i11, i12};
    pagesSource.focus = i12;
    pagesSource.focusesStart = false;
    pagesSource.accepted = [this] { writeIndexKey(key::kSource1, i10->text()); };

    auto& indexTarget = m_pickers[kI20Picker];
    indexTarget.field = i20;
    indexTarget.drive = i21;
    indexTarget.directories = i22;
    indexTarget.ok = i23;
    indexTarget.tab = 2;
    indexTarget.lists = {i21, i22};
    indexTarget.disables = {i10, Option4, Tagindex, tagindex2};
    indexTarget.escapeLists = {i22};
    indexTarget.focus = i22;
    indexTarget.focusesStart = false;
    indexTarget.accepted = [this] { writeIndexKey(key::kDestination1, i20->text()); };

    auto& yearbookData = m_pickers[kI30Picker];
    yearbookData.field = i30;
    yearbookData.drive = i31;
    yearbookData.directories = i34;
    yearbookData.files = i32;
    yearbookData.tab = 2;
    yearbookData.lists = {i31, i34, i32};
    yearbookData.hides = {i40, i43, Label16, Label20, i50, Picture3};
    yearbookData.disables = {Option3, i10, i20, i33};
    yearbookData.escapeLists = {i34, i32};
    yearbookData.focus = i32;
    yearbookData.focusesStart = false;

    auto& yearbookTarget = m_pickers[kI40Picker];
    yearbookTarget.field = i40;
    yearbookTarget.drive = i41;
    yearbookTarget.directories = i42;
    yearbookTarget.ok = i43;
    yearbookTarget.tab = 2;
    yearbookTarget.lists = {i41, i42};
    yearbookTarget.disables = {Option3, i30, i33, i50};
    yearbookTarget.escapeLists = {i41, i42};
    yearbookTarget.focus = i42;
    yearbookTarget.focusesStart = false;
    yearbookTarget.accepted = [this] { writeIndexKey(key::kDestination2, i40->text()); };

    auto& yearbookModel = m_pickers[kI50Picker];
    yearbookModel.field = i50;
    yearbookModel.drive = i51;
    yearbookModel.directories = i52;
    yearbookModel.files = i53;
    yearbookModel.tab = 2;
    yearbookModel.lists = {i51, i52, i53};
    yearbookModel.hides = {i40, i43, Label16, Picture3};
    yearbookModel.disables = {i33, Option3, i30};
    yearbookModel.escapeLists = {i52, i53};
    yearbookModel.focus = i53;

    for (int i = 0; i < kPickerCount; ++i) {
        auto id = static_cast<PickerId>(i);
        PathPicker& picker = m_pickers[i];
        connect(picker.field, &FieldEdit::mousePressed, this,
                [this, field = picker.field] { showFieldHelp(field->objectName()); });
        connect(picker.drive, &QComboBox::currentIndexChanged, this,
                [&picker] { picker.directories->setPath(picker.drive->drive()); });
        connect(picker.directories, &DirList::pathChanged, this, [&picker] {
            if (picker.files != nullptr) {
                picker.files->setPath(picker.directories->path());
            } else {
                picker.ok->setEnabled(true);
            }
        });
        if (picker.files != nullptr) {
            connect(picker.files, &FileList::fileActivated, this, [this, id, &picker] {
                if (!picker.files->fileName().isEmpty()) {
                    closePicker(id);
                }
            });
        } else {
            connect(picker.ok, &QPushButton::clicked, this, [this, id, &picker] {
                closePicker(id);
                if (picker.accepted) {
                    picker.accepted();
                }
            });
        }
        // A list without a key handler lets Escape pass: the picker stays open.
        for (QWidget* list : picker.escapeLists) {
            auto onKey = [this, id](int key) {
                if (key != kEscapeKey) {
                    return;
                }
                m_pickerCancel = true;
                closePicker(id);
                m_pickerCancel = false;
            };
            if (auto* drive = qobject_cast<DriveList*>(list)) {
                connect(drive, &DriveList::keyPressed, this, onKey);
            } else if (auto* directories = qobject_cast<DirList*>(list)) {
                connect(directories, &DirList::keyPressed, this, onKey);
            } else if (auto* files = qobject_cast<FileList*>(list)) {
                connect(files, &FileList::keyPressed, this, onKey);
            }
        }
        for (QWidget* list : picker.lists) {
            list->hide();
        }
        if (picker.ok != nullptr) {
            picker.ok->setEnabled(false);
        }
    }
}

void Form1::openPicker(PickerId id) {
    PathPicker& picker = m_pickers[id];
    // A disabled field takes no double-click, and one picker is open at a time.
    if (!picker.field->isEnabled() || m_openPicker >= 0) {
        return;
    }
    m_openPicker = id;
    m_startBeforePicker = Command1->isEnabled();
    for (QWidget* control :
         std::initializer_list<QWidget*>{francais, anglais, defaut, Command1, Command2}) {
        control->setEnabled(false);
    }
    for (int tab = 0; tab < onglet->count(); ++tab) {
        if (tab != picker.tab) {
            onglet->setTabEnabled(tab, false);
        }
    }
    if (picker.followsField) {
        QString directory = directoryOfField(picker.field->text(), picker.files == nullptr);
        if (!directory.isEmpty()) {
            picker.drive->showVolumeOf(directory);
            picker.directories->setPathSilently(directory);
        }
    }
    if (picker.files != nullptr) {
        picker.files->setPath(picker.directories->path());
        picker.files->selectFile(QFileInfo(picker.field->text()).fileName());
    }
    // Closing gives back exactly what opening took: a control already hidden or disabled
    // (another picker's list, a naming list of the other method) stays so.
    m_coveredByPicker.clear();
    m_lockedByPicker.clear();
    picker.field->hide();
    for (QWidget* hidden : picker.hides) {
        if (!hidden->isHidden()) {
            m_coveredByPicker.push_back(hidden);
            hidden->hide();
        }
    }
    for (QWidget* disabled : picker.disables) {
        if (disabled->isEnabled()) {
            m_lockedByPicker.push_back(disabled);
            disabled->setEnabled(false);
        }
    }
    for (QWidget* shown : picker.shows) {
        shown->show();
    }
    for (QWidget* list : picker.lists) {
        list->show();
    }
    if (picker.ok != nullptr) {
        picker.ok->setEnabled(picker.okAtOnce);
    }
    picker.focus->setFocus();
}

void Form1::closePicker(PickerId id) {
    PathPicker& picker = m_pickers[id];
    if (m_openPicker != id) {
        return;
    }
    m_openPicker = -1;
    // The lists go first, so the window never holds both the picker and the fields.
    for (QWidget* list : picker.lists) {
        list->hide();
    }
    if (picker.ok != nullptr) {
        picker.ok->setEnabled(false);
    }
    for (QWidget* control : std::initializer_list<QWidget*>{francais, anglais, defaut, Command2}) {
        control->setEnabled(true);
    }
    picker.field->show();
    for (QWidget* hidden : m_coveredByPicker) {
        hidden->show();
    }
    for (QWidget* disabled : m_lockedByPicker) {
        disabled->setEnabled(true);
    }
    m_coveredByPicker.clear();
    m_lockedByPicker.clear();
    restoreTab(picker.tab);
    if (!m_pickerCancel) {
        QString chosen = withTrailingSeparator(picker.directories->path());
        if (picker.files != nullptr) {
            chosen += picker.files->fileName();
        }
        picker.field->setText(chosen);
    }
    for (int tab = 0; tab < onglet->count(); ++tab) {
        onglet->setTabEnabled(tab, true);
    }
    Command1->setEnabled(picker.restoresStart ? m_startBeforePicker : true);
    if (picker.focusesStart) {
        Command1->setFocus();
    } else {
        picker.field->setFocus();
    }
}

void Form1::restoreTab(int tab) {
    if (tab == 0) {
        // The naming lists and the example come back as the chosen naming method needs them.
        bool fromTags = Option2->isChecked();
        for (int i = 0; i < 4; ++i) {
            nomdufichierhtm[i]->setVisible(fromTags);
        }
        exemplenom->setVisible(fromTags);
    } else if (tab == 2) {
        Option3->setEnabled(true);
        Option4->setEnabled(true);
        applyIndexMode();
    }
}

void Form1::source_DblClick() {
    openPicker(kDataFilePicker);
}
void Form1::fichiermodele_DblClick() {
    openPicker(kModelPicker);
}
void Form1::destination_DblClick() {
    openPicker(kDestinationPicker);
}
void Form1::hyperdir_DblClick() {
    openPicker(kLinksPicker);
}
void Form1::i10_DblClick() {
    openPicker(kI10Picker);
}
void Form1::i20_DblClick() {
    openPicker(kI20Picker);
}
void Form1::i30_DblClick() {
    openPicker(kI30Picker);
}
void Form1::i40_DblClick() {
    openPicker(kI40Picker);
}
void Form1::i50_DblClick() {
    openPicker(kI50Picker);
}

}  // namespace pw
