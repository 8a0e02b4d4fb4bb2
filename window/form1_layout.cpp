// The controls of the main window and where they stand.
#include <QButtonGroup>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include "engine/separators.h"
#include "window/captions.h"
#include "window/form1.h"
#include "window/list_widgets.h"
#include "window/pictures.h"
#include "window/progress_frame.h"

namespace pw {

namespace {

template <class T>
T* named(T* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QLabel* label(const char* name, QWidget* parent = nullptr) {
    auto* l = named(new QLabel(parent), name);
    l->setWordWrap(false);
    return l;
}

// Keeps a widget's place in its layout while it is hidden, so that showing the help or the
// bars never moves the rest of the window.
void keepPlaceWhenHidden(QWidget* widget) {
    QSizePolicy policy = widget->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    widget->setSizePolicy(policy);
}

QComboBox* separatorList(const char* name) {
    auto* list = named(new QComboBox, name);
    for (char separator : kSeparators) {
        list->addItem(QString(QChar::fromLatin1(separator)));
    }
    list->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    list->setMinimumWidth(56);
    return list;
}

QComboBox* tagList(const char* name, bool editable) {
    auto* list = named(new QComboBox, name);
    list->setEditable(editable);
    // A typed tag is used as typed; it never becomes an item of the list.
    list->setInsertPolicy(QComboBox::NoInsert);
    list->setMaxVisibleItems(16);
    list->setMinimumWidth(104);
    return list;
}

QPushButton* okButton(const char* name) {
    auto* button =
        named(new QPushButton(QString::fromUtf8(kOkCaption.data(), kOkCaption.size())), name);
    button->setMinimumWidth(64);
    return button;
}

// A picker's lists: the drive list above, then the directory list and the file list (or the
// Ok button) side by side.
QWidget* pickerBox(const char* name, DriveList* drive, DirList* directories, QWidget* files) {
    auto* box = named(new QWidget, name);
    auto* layout = new QGridLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(drive, 0, 0);
    layout->addWidget(directories, 1, 0);
    if (files != nullptr) {
        layout->addWidget(files, 0, 1, 2, 1);
        layout->setColumnStretch(0, 1);
        layout->setColumnStretch(1, 1);
    }
    layout->setRowStretch(1, 1);
    directories->setMinimumHeight(100);
    box->hide();
    drive->hide();
    directories->hide();
    if (files != nullptr) {
        files->hide();
    }
    return box;
}

// A file picker's lists in the index tab: the drive list above the directory list, the file
// list beside them, each half of the width.
QGridLayout* fileListsRow(DriveList* drive, DirList* directories, FileList* files) {
    auto* grid = new QGridLayout;
    grid->addWidget(drive, 0, 0);
    grid->addWidget(directories, 1, 0);
    grid->addWidget(files, 0, 1, 2, 1);
    drive->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    for (QWidget* list : std::initializer_list<QWidget*>{directories, files}) {
        list->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Expanding);
        list->setMinimumHeight(110);
    }
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(1, 1);
    return grid;
}

// A frame of two exclusive choices under a bold heading; returns the frame's layout for what
// follows the choices.
QVBoxLayout* choiceFrame(QGroupBox* frame, QLabel*& heading, const char* headingName,
                         QRadioButton*& first, const char* firstName, QRadioButton*& second,
                         const char* secondName) {
    auto* layout = new QVBoxLayout(frame);
    layout->setSpacing(4);
    heading = label(headingName);
    QFont bold = heading->font();
    bold.setBold(true);
    heading->setFont(bold);
    first = named(new QRadioButton, firstName);
    second = named(new QRadioButton, secondName);
    auto* group = new QButtonGroup(frame);
    group->addButton(first);
    group->addButton(second);
    layout->addWidget(heading);
    layout->addWidget(first);
    layout->addWidget(second);
    return layout;
}

}  // namespace

void Form1::buildWindow() {
    setObjectName(QStringLiteral("Form1"));
    setWindowIcon(QIcon(logoPicture(64)));
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(10, 10, 10, 10);
    outer->setSpacing(8);

    onglet = named(new QTabWidget, "onglet");
    onglet->addTab(buildPagesTab(), QString());
    onglet->addTab(buildLinksTab(), QString());
    onglet->addTab(buildIndexTab(), QString());
    onglet->setDocumentMode(false);
    outer->addWidget(onglet, 1);

    auto* bottom = new QHBoxLayout;
    bottom->setSpacing(10);
    // The progress frame keeps the size its bars and captions need; the buttons and the help
    // take the rest.
    bottom->addWidget(buildProgressFrame(), 0);
    bottom->addWidget(buildButtons(), 1);
    outer->addLayout(bottom);
}

QWidget* Form1::buildPagesTab() {
    auto* tab = named(new QWidget, "onglet0");
    auto* columns = new QHBoxLayout(tab);
    columns->setContentsMargins(12, 12, 12, 12);
    columns->setSpacing(14);

    // Left: the three paths (and the pickers that open in their place), the naming method.
    auto* left = new QVBoxLayout;
    left->setSpacing(4);
    Label4 = label("Label4");
    source = named(new FieldEdit, "source");
    Drive1 = named(new DriveList, "Drive1");
    ficdir = named(new DirList, "ficdir");
    ficsource = named(new FileList, "ficsource");
    picker1 = pickerBox("picker1", Drive1, ficdir, ficsource);
    Label7 = label("Label7");
    fichiermodele = named(new FieldEdit, "fichiermodele");
    Drive2 = named(new DriveList, "Drive2");
    Dirmodele = named(new DirList, "Dirmodele");
    ficmodele = named(new FileList, "ficmodele");
    ficmodele->setPattern(QStringLiteral("*.htm"));
    picker2 = pickerBox("picker2", Drive2, Dirmodele, ficmodele);
    Label5 = label("Label5");
    destination = named(new FieldEdit, "destination");
    Drive3 = named(new DriveList, "Drive3");
    dirdestination = named(new DirList, "dirdestination");
    validedestination = okButton("validedestination");
    picker3 = pickerBox("picker3", Drive3, dirdestination, nullptr);
    {
        auto* okRow = new QHBoxLayout;
        okRow->addStretch(1);
        okRow->addWidget(validedestination);
        static_cast<QGridLayout*>(picker3->layout())->addLayout(okRow, 2, 0);
        validedestination->hide();
        validedestination->setEnabled(false);
    }
    left->addWidget(Label4);
    left->addWidget(source);
    left->addWidget(picker1, 1);
    left->addSpacing(6);
    left->addWidget(Label7);
    left->addWidget(fichiermodele);
    left->addWidget(picker2, 1);
    left->addSpacing(6);
    left->addWidget(Label5);
    left->addWidget(destination);
    left->addWidget(picker3, 1);
    left->addSpacing(10);

    nompage = named(new QGroupBox, "nompage");
    {
        QVBoxLayout* layout =
            choiceFrame(nompage, Label12, "Label12", Option1, "Option1", Option2, "Option2");
        auto* lists = new QHBoxLayout;
        lists->setSpacing(6);
        lists->addSpacing(20);
        for (int i = 0; i < 4; ++i) {
            nomdufichierhtm[i] =
                tagList(qPrintable(QStringLiteral("nomdufichierhtm%1").arg(i)), false);
            keepPlaceWhenHidden(nomdufichierhtm[i]);
            lists->addWidget(nomdufichierhtm[i]);
        }
        lists->addStretch(1);
        layout->addLayout(lists);
        // The example is shortened to the room it has: a long name never widens the window.
        exemplenom = named(new ElidedLabel, "exemplenom");
        exemplenom->setFullText(QString::fromUtf8(kInitialExample.data(), kInitialExample.size()));
        keepPlaceWhenHidden(exemplenom);
        auto* exampleRow = new QHBoxLayout;
        exampleRow->addSpacing(20);
        exampleRow->addWidget(exemplenom, 1);
        layout->addLayout(exampleRow);
    }
    left->addWidget(nompage);
    left->addStretch(0);
    columns->addLayout(left, 1);

    // Right: the titling method, the separator and the logo.
    auto* right = new QVBoxLayout;
    right->setSpacing(8);
    Frame5 = named(new QGroupBox, "Frame5");
    {
        QVBoxLayout* layout =
            choiceFrame(Frame5, Label13, "Label13", titrep1, "titrep1", titrep2, "titrep2");
        nomdufichierhtm[4] = tagList("nomdufichierhtm4", false);
        keepPlaceWhenHidden(nomdufichierhtm[4]);
        auto* row = new QHBoxLayout;
        row->addSpacing(20);
        row->addWidget(nomdufichierhtm[4]);
        row->addStretch(1);
        layout->addLayout(row);
    }
    right->addWidget(Frame5);
    {
        auto* row = new QHBoxLayout;
        Label14 = label("Label14");
        separateur = separatorList("separateur");
        row->addWidget(Label14);
        row->addWidget(separateur);
        row->addStretch(1);
        right->addLayout(row);
    }
    right->addStretch(1);
    logo = label("logo");
    logo->setPixmap(logoPicture(120));
    logo->setAlignment(Qt::AlignCenter);
    right->addWidget(logo, 0, Qt::AlignHCenter | Qt::AlignBottom);
    columns->addLayout(right, 0);
    return tab;
}

QWidget* Form1::buildLinksTab() {
    auto* tab = named(new QWidget, "onglet1");
    auto* columns = new QHBoxLayout(tab);
    columns->setContentsMargins(12, 12, 12, 12);
    columns->setSpacing(14);
    auto* left = new QVBoxLayout;
    left->setSpacing(4);

    Label8 = label("Label8");
    hyperdir = named(new FieldEdit, "hyperdir");
    Drive4 = named(new DriveList, "Drive4");
    Dirlist = named(new DirList, "Dirlist");
    Command3 = okButton("Command3");
    Command3->setEnabled(false);
    left->addWidget(Label8);
    {
        auto* row = new QHBoxLayout;
        row->addWidget(hyperdir, 1);
        row->addWidget(Command3, 0, Qt::AlignRight);
        left->addLayout(row);
    }
    left->addWidget(Drive4);
    left->addWidget(Dirlist, 1);
    Dirlist->setMinimumHeight(160);
    Drive4->hide();
    Dirlist->hide();
    left->addSpacing(8);

    auto* tags = new QGridLayout;
    tags->setHorizontalSpacing(10);
    Label6 = label("Label6");
    sourcelien = tagList("sourcelien", true);
    Label9 = label("Label9");
    Textelien = tagList("Textelien", true);
    tags->addWidget(Label6, 0, 0);
    tags->addWidget(sourcelien, 0, 1);
    tags->addWidget(Label9, 1, 0);
    tags->addWidget(Textelien, 1, 1);
    tags->setColumnStretch(2, 1);
    left->addLayout(tags);
    left->addSpacing(8);

    Label10 = label("Label10");
    left->addWidget(Label10);
    {
        auto* row = new QHBoxLayout;
        row->setSpacing(0);
        Text1 = named(new FieldEdit, "Text1");
        Text1->setText(QStringLiteral("<a href=\""));
        Text1->setReadOnly(true);
        Text1->setFocusPolicy(Qt::NoFocus);
        Text1->setFixedWidth(Text1->fontMetrics().horizontalAdvance(Text1->text()) + 16);
        Tag99 = named(new FieldEdit, "Tag99");
        Text2 = named(new FieldEdit, "Text2");
        Text2->setText(QStringLiteral("Tag lien\">Tag texte</a><br>"));
        Text2->setReadOnly(true);
        Text2->setFocusPolicy(Qt::NoFocus);
        Text2->setFixedWidth(Text2->fontMetrics().horizontalAdvance(Text2->text()) + 16);
        for (FieldEdit* grey : {Text1, Text2}) {
            QPalette palette = grey->palette();
            palette.setColor(QPalette::Base, palette.color(QPalette::Window));
            grey->setPalette(palette);
        }
        row->addWidget(Text1);
        row->addWidget(Tag99, 1);
        row->addWidget(Text2);
        left->addLayout(row);
    }
    left->addStretch(1);
    columns->addLayout(left, 1);

    Picture2 = label("Picture2");
    Picture2->setPixmap(linksPicture(120));
    columns->addWidget(Picture2, 0, Qt::AlignBottom);
    return tab;
}

QWidget* Form1::buildIndexTab() {
    auto* tab = named(new QWidget, "onglet2");
    auto* columns = new QHBoxLayout(tab);
    columns->setContentsMargins(12, 12, 12, 12);
    columns->setSpacing(16);

    auto directoryRow = [](FieldEdit* field, QPushButton* ok) {
        // The Ok button keeps its place and size at the right while the picker hides the field.
        auto* row = new QHBoxLayout;
        row->addWidget(field, 1);
        row->addWidget(ok, 0, Qt::AlignRight);
        ok->setEnabled(false);
        return row;
    };

    // Index pages from existing HTML files.
    auto* left = new QVBoxLayout;
    left->setSpacing(4);
    Option3 = named(new QRadioButton, "Option3");
    Label17 = label("Label17");
    i10 = named(new FieldEdit, "i10");
    i11 = named(new DriveList, "i11");
    i12 = named(new DirList, "i12");
    i13 = okButton("i13");
    Label18 = label("Label18");
    i20 = named(new FieldEdit, "i20");
    i21 = named(new DriveList, "i21");
    i22 = named(new DirList, "i22");
    i23 = okButton("i23");
    Label19 = label("Label19");
    tagindex2 = tagList("tagindex2", true);
    labelindex = label("labelindex");
    Tagindex = tagList("Tagindex", true);
    QFont bold = Option3->font();
    bold.setBold(true);
    Option3->setFont(bold);
    left->addWidget(Option3);
    left->addSpacing(4);
    left->addWidget(Label17);
    left->addLayout(directoryRow(i10, i13));
    left->addWidget(i11);
    left->addWidget(i12, 1);
    left->addWidget(Label18);
    left->addLayout(directoryRow(i20, i23));
    left->addWidget(i21);
    left->addWidget(i22, 1);
    {
        auto* tags = new QGridLayout;
        tags->setHorizontalSpacing(10);
        tags->addWidget(Label19, 0, 0);
        tags->addWidget(tagindex2, 0, 1);
        tags->addWidget(labelindex, 1, 0);
        tags->addWidget(Tagindex, 1, 1);
        tags->setColumnStretch(2, 1);
        left->addSpacing(6);
        left->addLayout(tags);
    }
    left->addStretch(1);
    for (QWidget* hidden : std::initializer_list<QWidget*>{i11, i12, i21, i22}) {
        hidden->hide();
    }

    // Yearbook page from a data file.
    auto* right = new QVBoxLayout;
    right->setSpacing(4);
    Option4 = named(new QRadioButton, "Option4");
    Option4->setFont(bold);
    auto* group = new QButtonGroup(tab);
    group->addButton(Option3);
    group->addButton(Option4);
    Label15 = label("Label15");
    i30 = named(new FieldEdit, "i30");
    i31 = named(new DriveList, "i31");
    i34 = named(new DirList, "i34");
    i32 = named(new FileList, "i32");
    Label21 = label("Label21");
    i33 = separatorList("i33");
    Label16 = label("Label16");
    i40 = named(new FieldEdit, "i40");
    i41 = named(new DriveList, "i41");
    i42 = named(new DirList, "i42");
    i43 = okButton("i43");
    Label20 = label("Label20");
    i50 = named(new FieldEdit, "i50");
    i51 = named(new DriveList, "i51");
    i52 = named(new DirList, "i52");
    i53 = named(new FileList, "i53");
    i53->setPattern(QStringLiteral("*.htm"));
    right->addWidget(Option4);
    right->addSpacing(4);
    right->addWidget(Label15);
    right->addWidget(i30);
    {
        auto* row = new QHBoxLayout;
        row->addWidget(Label21);
        row->addWidget(i33);
        row->addStretch(1);
        right->addLayout(row);
    }
    right->addLayout(fileListsRow(i31, i34, i32), 1);
    right->addWidget(Label16);
    right->addLayout(directoryRow(i40, i43));
    right->addWidget(i41);
    right->addWidget(i42, 1);
    right->addWidget(Label20);
    right->addWidget(i50);
    right->addLayout(fileListsRow(i51, i52, i53), 1);
    right->addStretch(1);
    for (QWidget* hidden :
         std::initializer_list<QWidget*>{i31, i34, i32, i41, i42, i51, i52, i53}) {
        hidden->hide();
    }
    Picture3 = label("Picture3");
    Picture3->setPixmap(indexPicture(96));
    {
        auto* row = new QHBoxLayout;
        row->addStretch(1);
        row->addWidget(Picture3);
        right->addLayout(row);
    }

    for (DirList* list : {i12, i22, i42}) {
        list->setMinimumHeight(120);
    }
    columns->addLayout(left, 1);
    auto* line = new QFrame;
    line->setFrameShape(QFrame::VLine);
    line->setFrameShadow(QFrame::Sunken);
    columns->addWidget(line);
    columns->addLayout(right, 1);
    return tab;
}

QWidget* Form1::buildProgressFrame() {
    Frame1 = named(new StatusFrame, "Frame1");
    Frame1->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    auto* grid = new QGridLayout(Frame1);
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(6);
    Label2 = label("Label2");
    Label3 = label("Label3");
    Label1 = label("Label1");
    pictotal = named(new BarPicture, "pictotal");
    piccours = named(new BarPicture, "piccours");
    keepPlaceWhenHidden(pictotal);
    keepPlaceWhenHidden(piccours);
    Progressbar2 = label("Progressbar2");
    progressbar1 = label("progressbar1");
    // Each counter is written across its bar, as wide as the bar and centred: the bars keep
    // their full scale whatever the counters hold.
    for (auto [counter, bar] :
         {std::pair{Progressbar2, pictotal}, std::pair{progressbar1, piccours}}) {
        counter->setAlignment(Qt::AlignCenter);
        counter->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
        auto* inside = new QHBoxLayout(bar);
        inside->setContentsMargins(0, 0, 0, 0);
        inside->addWidget(counter);
    }
    temps = label("temps");
    grid->addWidget(Label2, 0, 0);
    grid->addWidget(pictotal, 0, 1);
    grid->addWidget(Label3, 1, 0);
    grid->addWidget(piccours, 1, 1);
    grid->addWidget(Label1, 2, 0);
    grid->addWidget(temps, 2, 1);
    grid->setRowStretch(3, 1);
    temps->setMinimumHeight(temps->fontMetrics().height());
    // The time text has the bars' width; a longer one must not widen the window in the
    // middle of a run.
    temps->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    pictotal->hide();
    piccours->hide();
    return Frame1;
}

QWidget* Form1::buildButtons() {
    boutons = named(new QFrame, "boutons");
    auto* layout = new QVBoxLayout(boutons);
    layout->setContentsMargins(0, 4, 0, 0);
    layout->setSpacing(6);

    auto* row = new QHBoxLayout;
    row->setSpacing(6);
    Command1 = named(new QPushButton, "Command1");
    Command2 = named(new QPushButton, "Command2");
    defaut = named(new QPushButton, "defaut");
    Command1->setDefault(true);
    Command1->setMinimumWidth(96);
    Command2->setMinimumWidth(96);
    francais = named(new QToolButton, "francais");
    anglais = named(new QToolButton, "anglais");
    francais->setIcon(QIcon(frenchFlag(30, 20)));
    anglais->setIcon(QIcon(englishFlag(30, 20)));
    for (QToolButton* flag : {francais, anglais}) {
        flag->setIconSize(QSize(30, 20));
        flag->setAutoRaise(true);
    }
    francais->setToolTip(QStringLiteral("Français"));
    anglais->setToolTip(QStringLiteral("English"));
    row->addWidget(Command1);
    row->addWidget(Command2);
    row->addWidget(defaut);
    row->addStretch(1);
    row->addWidget(francais);
    row->addWidget(anglais);
    layout->addLayout(row);

    auto* help = new QHBoxLayout;
    help->setSpacing(8);
    idee = label("idee");
    idee->setPixmap(bulbPicture(36));
    idee->setAlignment(Qt::AlignTop);
    idee->setFixedWidth(40);
    keepPlaceWhenHidden(idee);
    Aide = label("Aide");
    Aide->setWordWrap(true);
    Aide->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Aide->setTextFormat(Qt::PlainText);
    Aide->setMinimumHeight(Aide->fontMetrics().lineSpacing() * 6);
    Aide->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    keepPlaceWhenHidden(Aide);
    help->addWidget(idee, 0, Qt::AlignTop);
    help->addWidget(Aide, 1);
    layout->addLayout(help, 1);

    internet = named(new ClickLabel, "internet");
    internet->setCursor(Qt::PointingHandCursor);
    internet->setAlignment(Qt::AlignRight);
    layout->addWidget(internet);
    return boutons;
}

}  // namespace pw
