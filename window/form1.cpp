#include "window/form1.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFocusEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTabWidget>
#include <QToolButton>
#include <QUrl>
#include <cstdio>

#include "fs/env.h"
#include "registry/browser.h"
#include "registry/install_dir.h"
#include "runs/run_table.h"
#include "settings/settings_paths.h"
#include "settings/settings_writes.h"
#include "window/captions.h"
#include "window/list_widgets.h"
#include "window/progress_frame.h"
#include "window/qt_text.h"

namespace pw {

namespace {

// Registry failures are shown in a message box, then ignored.
RegistryMessageSink registryMessages(const WindowServices& services) {
    return [services](const std::string& message) {
        if (services.messageBox) {
            services.messageBox(RunHost::Icon::Critical, qs(message));
        }
    };
}

WindowServices withDefaults(WindowServices services) {
    if (!services.messageBox) {
        services.messageBox = [](RunHost::Icon icon, const QString& text) {
            QMessageBox box(
                icon == RunHost::Icon::Critical ? QMessageBox::Critical : QMessageBox::Information,
                QStringLiteral("Pagewright"), text, QMessageBox::Ok, QApplication::activeWindow());
            box.exec();
        };
    }
    if (!services.fatalBox) {
        services.fatalBox = [](const QString& title, const QString& text) {
            QMessageBox::critical(QApplication::activeWindow(), title, text);
        };
    }
    if (!services.endProgram) {
        services.endProgram = [] { QCoreApplication::exit(1); };
    }
    if (!services.installDir) {
        RegistryMessageSink sink = registryMessages(services);
        services.installDir = [sink] { return installationDirectory(sink); };
    }
    if (!services.browserCommand) {
        RegistryMessageSink sink = registryMessages(services);
        services.browserCommand = [sink](const std::string& address) {
            return browserCommand(address, sink);
        };
    }
    if (!services.startDetached) {
        services.startDetached = [](const std::vector<std::string>& argv) {
            if (argv.empty()) {
                return false;
            }
            QStringList arguments;
            for (size_t i = 1; i < argv.size(); ++i) {
                arguments << qs(argv[i]);
            }
            return QProcess::startDetached(qs(argv[0]), arguments);
        };
    }
    return services;
}

}  // namespace

Form1::Form1(WindowServices services, QWidget* parent)
    : QWidget(parent),
      m_services(withDefaults(std::move(services))),
      m_frame(*this, m_state, m_report, pagewrightRuns(), Env::system()) {
    buildWindow();
    m_helpTimer.setSingleShot(true);
    m_helpTimer.setInterval(30 * 1000);
    connect(&m_helpTimer, &QTimer::timeout, this, &Form1::clearFieldHelp);
    m_progressTimer.setSingleShot(true);
    connect(&m_progressTimer, &QTimer::timeout, this, [this] { paintProgress(); });

    connect(Command1, &QPushButton::clicked, this, &Form1::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Form1::Command2_Click);
    connect(defaut, &QPushButton::clicked, this, &Form1::defaut_Click);
    connect(francais, &QToolButton::clicked, this, &Form1::francais_Click);
    connect(anglais, &QToolButton::clicked, this, &Form1::anglais_Click);
    connect(internet, &ClickLabel::clicked, this, &Form1::internet_Click);
    connect(onglet, &QTabWidget::currentChanged, this, &Form1::onglet_Click);

    connect(Option1, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            Option1_Click();
    });
    connect(Option2, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            Option2_Click();
    });
    connect(titrep1, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            titrep1_Click();
    });
    connect(titrep2, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            titrep2_Click();
    });
    connect(Option3, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            Option3_Click();
    });
    connect(Option4, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            Option4_Click();
    });
    for (int i = 0; i < 5; ++i) {
        connect(nomdufichierhtm[i], &QComboBox::activated, this,
                [this, i] { nomdufichierhtm_Click(i); });
    }
    separateur->installEventFilter(this);
    // The separator is also stored when chosen, so a choice is never lost to a window closed
    // before the list loses the focus.
    connect(separateur, &QComboBox::activated, this, &Form1::separateur_LostFocus);

    connect(source, &FieldEdit::doubleClicked, this, &Form1::source_DblClick);
    connect(fichiermodele, &FieldEdit::doubleClicked, this, &Form1::fichiermodele_DblClick);
    connect(destination, &FieldEdit::doubleClicked, this, &Form1::destination_DblClick);
    connect(hyperdir, &FieldEdit::doubleClicked, this, &Form1::hyperdir_DblClick);
    connect(i10, &FieldEdit::doubleClicked, this, &Form1::i10_DblClick);
    connect(i20, &FieldEdit::doubleClicked, this, &Form1::i20_DblClick);
    connect(i30, &FieldEdit::doubleClicked, this, &Form1::i30_DblClick);
    connect(i40, &FieldEdit::doubleClicked, this, &Form1::i40_DblClick);
    connect(i50, &FieldEdit::doubleClicked, this, &Form1::i50_DblClick);
    connect(source, &FieldEdit::textChanged, this, &Form1::source_Change);
    connect(fichiermodele, &FieldEdit::textChanged, this, &Form1::fichiermodele_Change);
    connect(destination, &FieldEdit::textChanged, this, &Form1::destination_Change);
    connect(hyperdir, &FieldEdit::textChanged, this, &Form1::hyperdir_Change);
    connect(Tag99, &FieldEdit::textChanged, this, &Form1::Tag99_Change);
    connect(i10, &FieldEdit::textChanged, this, &Form1::i10_Change);
    connect(i20, &FieldEdit::textChanged, this, &Form1::i20_Change);
    connect(i30, &FieldEdit::textChanged, this, &Form1::i30_Change);
    connect(i40, &FieldEdit::textChanged, this, &Form1::i40_Change);
    connect(i50, &FieldEdit::textChanged, this, &Form1::i50_Change);
    // A tag list stores an item chosen from it; a typed tag is used but not stored.
    connect(sourcelien, &QComboBox::activated, this, &Form1::sourcelien_Click);
    connect(Textelien, &QComboBox::activated, this, &Form1::Textelien_Click);
    connect(Tagindex, &QComboBox::activated, this, &Form1::Tagindex_Click);
    connect(tagindex2, &QComboBox::activated, this, &Form1::tagindex2_Click);
    i33->installEventFilter(this);
    connect(i33, &QComboBox::activated, this, &Form1::i33_LostFocus);
    for (QWidget* control :
         std::initializer_list<QWidget*>{sourcelien, Textelien, Tag99, Tagindex, tagindex2}) {
        watchFocusHelp(control);
    }
    buildPickers();

    Form_Load();
}

Form1::~Form1() {
    if (m_busy) {
        QApplication::restoreOverrideCursor();
    }
}

void Form1::setHelpInterval(int milliseconds) {
    m_helpTimer.setInterval(milliseconds);
}

int Form1::helpInterval() const {
    return m_helpTimer.interval();
}

void Form1::fillTagLists() {
    for (QComboBox* list : nomdufichierhtm) {
        list->clear();
        for (int j = 0; j <= 98; ++j) {
            list->addItem(QStringLiteral("Tag N°%1").arg(j));
        }
        list->setCurrentIndex(-1);
        list->hide();
    }
    for (QComboBox* list : {sourcelien, Textelien, Tagindex, tagindex2}) {
        list->clear();
        for (int j = 0; j <= 100; ++j) {
            list->addItem(QStringLiteral("Tag N°%1").arg(j));
        }
        list->setCurrentIndex(-1);
    }
}

void Form1::Form_Load() {
    fillTagLists();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    // An unknown installation directory becomes "/".
    std::string installDir = m_services.installDir();
    if (installDir.empty() || installDir.back() != '/') {
        installDir.push_back('/');
    }
    m_settings = settingsContextFromEnvironment(installDir);
    ensureDefaultDirectory();
    p_lecture_fichier_ini();
    QApplication::restoreOverrideCursor();
    Form_Activate();
    // The captions may have changed the window's size since the load placed it.
    p_position_fenetre();
}

void Form1::settleLayout() {
    // Before a window is first shown, Qt leaves the layouts of its children, and the sizes its
    // layouts keep of them, to settle at the show, which would then resize a window already
    // placed: settle them now, innermost first.
    ensurePolished();
    const QList<QWidget*> children = findChildren<QWidget*>();
    for (auto child = children.crbegin(); child != children.crend(); ++child) {
        (*child)->updateGeometry();
        if (QLayout* inner = (*child)->layout()) {
            inner->activate();
        }
    }
    layout()->invalidate();
    layout()->activate();
}

void Form1::p_position_fenetre() {
    settleLayout();
    resize(size().expandedTo(sizeHint()));
    QScreen* screen = this->screen() != nullptr ? this->screen() : QApplication::primaryScreen();
    if (screen == nullptr) {
        return;
    }
    QRect area = screen->availableGeometry();
    QSize size = frameGeometry().size();
    // A window larger than the screen is kept at the screen's top left corner, whole title
    // bar reachable.
    int left = std::max(0, (area.width() - size.width()) / 2);
    int top = std::max(0, (area.height() - size.height()) / 2);
    move(area.left() + left, area.top() + top);
}

void Form1::selectOption(QRadioButton* option) {
    if (option->isChecked()) {
        // The handler runs as if the person had chosen it again.
        emit option->toggled(true);
    } else {
        option->setChecked(true);
    }
}

void Form1::setFieldText(FieldEdit* field, const std::string& text) {
    // Setting even the same text would move the caret to the end and clear the field's undo.
    const QString wanted = qs(text);
    if (field->text() != wanted) {
        field->setText(wanted);
    }
}

void Form1::setComboText(QComboBox* list, const std::string& text) {
    QString wanted = qs(text);
    int index = wanted.isEmpty() ? -1 : list->findText(wanted, Qt::MatchExactly);
    if (index >= 0 || !list->isEditable()) {
        list->setCurrentIndex(index);
    } else {
        list->setCurrentIndex(-1);
        list->setEditText(wanted);
    }
}

void Form1::writeIfNotEmpty(std::string_view section, std::string_view name, const QString& text) {
    if (!writesSilenced()) {
        stored(writeKeyIfNotEmpty(m_settings.file, section, name, ss(text)));
    }
}

void Form1::stored(const Status& status) {
    if (status.ok() || m_saveFailureShown) {
        return;
    }
    m_saveFailureShown = true;
    std::fprintf(stderr,
                 "pagewright: the settings cannot be saved in %s (%s); the choices made now last "
                 "until the window is closed.\n",
                 m_settings.file.c_str(), status.reason().c_str());
}

void Form1::p_lecture_fichier_ini() {
    SettingsSnapshot snapshot = pw::p_lecture_fichier_ini(m_settings);

    // The handlers run as the fields are filled, but their key writes are made once, at the
    // end, from the snapshot: the stored tags survive the load.
    m_loading = true;
    for (FieldEdit* field : {source, destination, fichiermodele, Tag99, i10, i20, i30, i40, i50}) {
        field->clear();
    }
    for (QComboBox* list : {Textelien, sourcelien, Tagindex, tagindex2}) {
        setComboText(list, "");
    }
    m_state.runInProgress = false;
    m_state.stopRequested = false;
    resetProgress();
    pictotal->hide();
    piccours->hide();
    ficdir->setPathSilently(Drive1->drive());
    ficsource->setPath(ficdir->path());
    p_position_fenetre();
    m_state.titleColumn = 1;

    m_language = snapshot.language;
    setFieldText(i40, snapshot.destination2);
    setFieldText(i50, snapshot.indexModel);
    setFieldText(i30, snapshot.indexFile);
    i33->setCurrentIndex(snapshot.separatorIndex2);
    setFieldText(i10, snapshot.source1);
    setFieldText(i20, snapshot.destination1);
    selectOption(snapshot.indexRun == IndexRun::IndexPages ? Option3 : Option4);
    setComboText(Tagindex, snapshot.tagIndex);
    setComboText(tagindex2, snapshot.tagIndex2);
    separateur->setCurrentIndex(snapshot.separatorIndex);
    setFieldText(source, snapshot.source);
    setFieldText(fichiermodele, snapshot.modele);
    setFieldText(destination, snapshot.destination);
    setFieldText(hyperdir, snapshot.lien);
    setComboText(sourcelien, snapshot.textesource);
    setComboText(Textelien, snapshot.textelien);
    setFieldText(Tag99, snapshot.tag99);
    selectOption(snapshot.naming == NamingMethod::FirstColumn ? Option1 : Option2);
    selectOption(snapshot.titling == TitleMethod::SecondColumn ? titrep1 : titrep2);
    std::array<std::string, 5> tags = snapshot.namingTags();
    for (int i = 0; i < 5; ++i) {
        setComboText(nomdufichierhtm[i], tags[i]);
    }
    enableTagLists();
    exemplenom->setFullText(QString());
    m_loading = false;
    stored(applyLoadRewrites(m_settings, snapshot));

    // The pickers start where the loaded paths lie.
    for (auto [drive, list, path] : {std::tuple{Drive2, Dirmodele, fichiermodele->text()},
                                     std::tuple{Drive3, dirdestination, destination->text()},
                                     std::tuple{Drive4, Dirlist, hyperdir->text()}}) {
        QFileInfo info(path);
        QString directory = path.endsWith('/') ? path : info.path();
        if (QFileInfo(directory).isDir()) {
            drive->showVolumeOf(directory);
            list->setPathSilently(directory);
        }
    }
    ficmodele->setPath(Dirmodele->path());
}

void Form1::applyCaptions() {
    for (const Caption& caption : languageCaptions()) {
        QString text = qs(caption.text.in(m_language));
        QString name = qs(caption.control);
        if (name.startsWith(QLatin1String("onglet"))) {
            onglet->setTabText(name.mid(6).toInt(), text);
            continue;
        }
        QWidget* control = findChild<QWidget*>(name);
        if (auto* labelControl = qobject_cast<QLabel*>(control)) {
            labelControl->setText(text);
        } else if (auto* button = qobject_cast<QAbstractButton*>(control)) {
            button->setText(text);
        }
    }
    // The Start button keeps the stop word while a run goes on.
    if (m_state.runInProgress) {
        Command1->setText(qs(messages::kStopWord.in(m_language)));
    }
    setWindowTitle(qs(kWindowTitle.in(m_language)));
    QString address = QUrl::fromLocalFile(qs(m_settings.installDir) + "help/").toString();
    internet->setText(QStringLiteral("<a href=\"%1\">%2</a>")
                          .arg(address.toHtmlEscaped(), m_language == Language::French
                                                            ? QStringLiteral("Aide en ligne")
                                                            : QStringLiteral("Online help")));
    internet->setToolTip(address);
    QStringList statuses;
    for (RunKind kind :
         {RunKind::Pages, RunKind::Hyperlinks, RunKind::IndexPages, RunKind::Yearbook}) {
        statuses << qs(messages::statusCaption(kind).in(m_language));
    }
    Frame1->setPossibleTitles(statuses);
    // Captions of another length must never be clipped: the window grows to fit them.
    settleLayout();
    resize(size().expandedTo(sizeHint()));
}

void Form1::Form_Activate() {
    clearFieldHelp();
    applyCaptions();
    SampleFields fields{ss(source->text()), ss(fichiermodele->text()), ss(i30->text()),
                        ss(i50->text())};
    fields = swapSampleFiles(fields, m_settings.installDir, m_language);
    setFieldText(source, fields.source);
    setFieldText(fichiermodele, fields.fichiermodele);
    setFieldText(i30, fields.i30);
    setFieldText(i50, fields.i50);
    stored(writeSampleKeys(m_settings.file, fields));
}

void Form1::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        Form_Activate();
    }
}

void Form1::francais_Click() {
    m_language = Language::French;
    stored(writeLanguage(m_settings.file, m_language));
    Form_Activate();
}

void Form1::anglais_Click() {
    m_language = Language::English;
    stored(writeLanguage(m_settings.file, m_language));
    Form_Activate();
}

void Form1::onglet_Click() {
    if (m_state.runInProgress) {
        return;
    }
    clearFieldHelp();
    switch (onglet->currentIndex()) {
        case 0:
            if (!source->text().isEmpty() && !fichiermodele->text().isEmpty() &&
                !destination->text().isEmpty()) {
                Command1->setEnabled(true);
            }
            labelindex->hide();
            Tagindex->hide();
            break;
        case 1:
            if (!hyperdir->text().isEmpty() && !sourcelien->currentText().isEmpty() &&
                !Textelien->currentText().isEmpty()) {
                Command1->setEnabled(true);
            }
            labelindex->hide();
            Tagindex->hide();
            break;
        case 2: {
            Command1->setEnabled(true);
            labelindex->show();
            Tagindex->show();
            applyIndexMode();
            break;
        }
        default:
            break;
    }
}

void Form1::Command2_Click() {
    if (nomdufichierhtm[4]->currentText().isEmpty()) {
        selectOption(titrep1);
    }
    if (nomdufichierhtm[0]->currentText().isEmpty()) {
        selectOption(Option1);
    }
    close();
    QApplication::quit();
}

void Form1::closeEvent(QCloseEvent* event) {
    if (m_state.runInProgress) {
        // The run is suspended inside the Start click further down the stack: stop it there
        // and close once it has returned.
        event->ignore();
        m_closeRequested = true;
        m_quietMessages = true;
        m_frame.Command1_Click();
        m_quietMessages = false;
        return;
    }
    QWidget::closeEvent(event);
}

void Form1::p_refresh_all() {
    for (QWidget* control : std::initializer_list<QWidget*>{
             boutons, this, Command2, Command1, Label7, Label5, Label4, source, destination,
             fichiermodele, Frame5, titrep1, titrep2, separateur, i30, i50}) {
        control->update();
    }
    onglet->setCurrentIndex(2);
    onglet->setCurrentIndex(1);
    onglet->setCurrentIndex(0);
}

void Form1::defaut_Click() {
    stored(resetToDefaults(m_settings, m_language));
    p_lecture_fichier_ini();
    p_refresh_all();
    Form_Activate();
    Command1->setFocus();
}

void Form1::Option3_Click() {
    if (!writesSilenced()) {
        stored(writeIndexRun(m_settings.file, IndexRun::IndexPages));
    }
    applyIndexMode();
}

void Form1::Option4_Click() {
    if (!writesSilenced()) {
        stored(writeIndexRun(m_settings.file, IndexRun::Yearbook));
    }
    applyIndexMode();
}

void Form1::applyIndexMode() {
    bool pagesMode = Option3->isChecked();
    for (QWidget* control : std::initializer_list<QWidget*>{i10, i20, Tagindex, tagindex2}) {
        control->setEnabled(pagesMode);
    }
    for (QWidget* control : std::initializer_list<QWidget*>{i30, i40, i50, i33}) {
        control->setEnabled(!pagesMode);
    }
}

void Form1::showFieldHelp(const QString& control) {
    const Wording* help = fieldHelp(ss(control));
    if (help == nullptr) {
        return;
    }
    Aide->setText(qs(help->in(m_language)));
    idee->show();
    Aide->show();
    m_helpTimer.start();
}

void Form1::clearFieldHelp() {
    m_helpTimer.stop();
    Aide->clear();
    Aide->hide();
    idee->hide();
}

std::string Form1::helpAddress() const {
    std::string page = m_language == Language::French ? "aide_" : "english/help_";
    QString folder = QUrl::fromLocalFile(qs(m_settings.installDir) + "help/").toString();
    return ss(folder) + page + std::to_string(onglet->currentIndex() + 1) + ".htm";
}

void Form1::internet_Click() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    std::vector<std::string> command = m_services.browserCommand(helpAddress());
    QApplication::restoreOverrideCursor();
    if (command.empty()) {
        m_services.messageBox(Icon::Critical, qs(kNoBrowser.in(m_language)));
        return;
    }
    m_services.startDetached(command);
}

void Form1::watchFocusHelp(QWidget* control) {
    control->installEventFilter(this);
    if (auto* list = qobject_cast<QComboBox*>(control); list != nullptr && list->lineEdit()) {
        list->lineEdit()->installEventFilter(this);
    }
}

bool Form1::eventFilter(QObject* watched, QEvent* event) {
    if (watched == separateur && event->type() == QEvent::FocusOut) {
        separateur_LostFocus();
    } else if (watched == i33 && event->type() == QEvent::FocusOut) {
        i33_LostFocus();
    } else if (event->type() == QEvent::FocusIn) {
        // Focus coming back from a list's popup or from another window is not the person
        // moving to the field.
        auto reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason) {
            QWidget* control = qobject_cast<QWidget*>(watched);
            if (control != nullptr && qobject_cast<QComboBox*>(control->parentWidget())) {
                control = control->parentWidget();
            }
            if (control != nullptr && fieldHelp(ss(control->objectName())) != nullptr) {
                showFieldHelp(control->objectName());
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace pw
