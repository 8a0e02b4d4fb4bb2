#pragma once

#include <QElapsedTimer>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <QWidget>
#include <array>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/language.h"
#include "engine/run_frame.h"
#include "engine/run_host.h"
#include "engine/run_report.h"
#include "engine/run_state.h"
#include "settings/settings_keys.h"
#include "settings/settings_snapshot.h"

class QButtonGroup;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QToolButton;

namespace pw {

class BarPicture;
class ClickLabel;
class DirList;
class DriveList;
class ElidedLabel;
class FieldEdit;
class FileList;
class StatusFrame;

// What the window asks of the outside world. Every member has a working default; tests
// replace the ones they must observe or cannot drive (a modal box, a browser).
struct WindowServices {
    // Shows a modal message box with the critical or information icon.
    std::function<void(RunHost::Icon, const QString&)> messageBox;
    // The installation directory, ending with "/" (default: the registry look-up).
    std::function<std::string()> installDir;
    // The program and arguments that open a help address (default: the registry's browser
    // look-up, then xdg-open); empty when no browser can be found.
    std::function<std::vector<std::string>(const std::string& address)> browserCommand;
    // Starts a program without a shell and without waiting; false when it cannot be started.
    std::function<bool(const std::vector<std::string>& argv)> startDetached;
    // Called at the start of every event pump of a run, before pending events are processed.
    std::function<void()> pumpHook;
    // Shows the modal critical box of a click that failed before its run began.
    std::function<void(const QString& title, const QString& text)> fatalBox;
    // Ends the program after that box (default: leaves the event loop with status 1).
    std::function<void()> endProgram;
};

// The main window: three tabs (pages, hyperlinks, index pages), the Start/Stop and Quit
// buttons, the reset and language buttons, the progress frame, the field help and the
// online-help link. It shows every text in French or English, stores each choice in the
// settings file the moment it is made, and runs the jobs through the shared run frame.
class Form1 : public QWidget, public RunHost {
    Q_OBJECT
  public:
    // Builds the window and runs the start-up sequence (Form_Load).
    explicit Form1(WindowServices services = {}, QWidget* parent = nullptr);
    ~Form1() override;

    // How long a field's help text stays shown (30 seconds unless a test shortens it).
    void setHelpInterval(int milliseconds);
    // Replaces the hook called at the start of every event pump of a run.
    void setPumpHook(std::function<void()> hook) { m_services.pumpHook = std::move(hook); }
    int helpInterval() const;

    Language language() const { return m_language; }
    const std::string& installDir() const { return m_settings.installDir; }
    const SettingsContext& settingsContext() const { return m_settings; }
    const RunState& runState() const { return m_state; }
    bool pickerCancel() const { return m_pickerCancel; }
    // The address of the active tab's help page in the current language.
    std::string helpAddress() const;

    // RunHost.
    RunSettings runSettings() override;
    void showMessage(Icon icon, std::string_view text) override;
    void showFatalError(std::string_view title, std::string_view text) override;
    void setTabsSelectable(bool selectable) override;
    void setResetAndHelpEnabled(bool enabled) override;
    void setLanguageButtonsEnabled(bool enabled) override;
    void setQuitEnabled(bool enabled) override;
    void showBarsAndClearHelp() override;
    void lockInputs() override;
    void unlockInputs() override;
    void setStartCaption(std::string_view caption) override;
    void setBusyPointer(bool busy) override;
    void selectFirstTitling() override;
    void selectFirstNaming() override;
    // ProgressDisplay.
    void setStatus(std::string_view text) override;
    void setRecordText(std::string_view text) override;
    void setTotalBar(int percent) override;
    void setLineText(std::string_view text) override;
    void setLineBar(int percent) override;
    void setTimeText(std::string_view text) override;
    void pumpEvents() override;
    void ringBell() override;

  public slots:
    // Start-up, activation, language, tabs, quitting.
    void Form_Load();
    void Form_Activate();
    void francais_Click();
    void anglais_Click();
    void onglet_Click();
    void Command2_Click();
    void p_refresh_all();
    void p_lecture_fichier_ini();
    void defaut_Click();
    // Start/Stop.
    void Command1_Click();
    // Online help.
    void internet_Click();

    // Pages tab: naming and titling.
    void Option1_Click();
    void Option2_Click();
    void titrep1_Click();
    void titrep2_Click();
    void nomdufichierhtm_Click(int index);
    void p_exemple();
    void separateur_LostFocus();

    // Pages tab: fields and their pickers. A double-click on a path field opens its picker; the
    // pickers of the three tabs all run the one table-driven mechanism below, and their lists
    // are wired by buildPickers().
    void source_Change();
    void fichiermodele_Change();
    void destination_Change();
    void source_DblClick();
    void fichiermodele_DblClick();
    void destination_DblClick();

    // Hyperlinks tab.
    void hyperdir_Change();
    void hyperdir_DblClick();
    void sourcelien_Click();
    void Textelien_Click();
    void Tag99_Change();

    // Index tab: the run choice, which the load and the tab change also apply.
    void Option3_Click();
    void Option4_Click();
    // Index tab: fields, pickers and tag lists.
    void i10_Change();
    void i20_Change();
    void i30_Change();
    void i40_Change();
    void i50_Change();
    void i10_DblClick();
    void i20_DblClick();
    void i30_DblClick();
    void i40_DblClick();
    void i50_DblClick();
    void i33_LostFocus();
    void Tagindex_Click();
    void tagindex2_Click();

    // Field help: shows the help text of `control` for the help interval.
    void showFieldHelp(const QString& control);
    void clearFieldHelp();

  protected:
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void buildWindow();
    QWidget* buildPagesTab();
    QWidget* buildLinksTab();
    QWidget* buildIndexTab();
    QWidget* buildProgressFrame();
    QWidget* buildButtons();
    void fillTagLists();
    void applyCaptions();
    // Lays the window out as it will be shown, so that it is sized and placed on its real size.
    void settleLayout();
    // Centres the window, on its real size, on its screen.
    void p_position_fenetre();
    // Selects an option as a program step: its handler runs even when it was already selected.
    void selectOption(QRadioButton* option);
    // Sets a field's text as a program step (its `_Change` runs when the text differs).
    void setFieldText(FieldEdit* field, const std::string& text);
    void setComboText(QComboBox* list, const std::string& text);
    // Writes one key unless a load is being applied (the load writes its keys at once).
    bool writesSilenced() const { return m_loading; }
    void writeIfNotEmpty(std::string_view section, std::string_view name, const QString& text);
    // Takes the result of a settings write. The window works on when the file cannot be
    // written (its choices then last for the session); the first failure says so once on
    // standard error, naming the file.
    void stored(const Status& status);
    // Writes one key of section Index whatever the text, also an empty one.
    void writeIndexKey(std::string_view name, const QString& text);
    std::array<std::string, 4> namingTagTexts() const;
    // Enables the index tab's inputs of the chosen run and disables the other run's.
    void applyIndexMode();
    // Makes the five tag lists of the pages tab usable as the person's own choices would: the
    // first naming list, each chosen one and the one after a chosen one, and the title list.
    // Does nothing while a run goes on: the run's lock holds until its unlock.
    void enableTagLists();

    // An in-window path picker: the lists that open in place of a field, what they cover
    // while open, and how a choice is accepted. Every picker of the three tabs is one entry.
    struct PathPicker {
        FieldEdit* field = nullptr;
        DriveList* drive = nullptr;
        DirList* directories = nullptr;
        FileList* files = nullptr;    // file pickers accept a file activated in this list
        QPushButton* ok = nullptr;    // directory pickers accept with this button
        int tab = 0;                  // the tab the picker belongs to
        std::vector<QWidget*> lists;  // shown while open, hidden at rest
        std::vector<QWidget*> hides;  // hidden while open, besides the field
        std::vector<QWidget*> disables;
        std::vector<QWidget*> shows;  // shown on opening and left shown
        std::vector<QWidget*> escapeLists;
        QWidget* focus = nullptr;        // the list that takes the focus on opening
        bool okAtOnce = false;           // Ok usable before the directory list moves
        bool followsField = true;        // opens at the field's directory, else where it was left
        bool restoresStart = false;      // closing leaves Start as it was, else enables it
        bool focusesStart = true;        // closing gives the focus to Start, else to the field
        std::function<void()> accepted;  // after Ok has closed the picker
    };
    enum PickerId {
        kDataFilePicker,
        kModelPicker,
        kDestinationPicker,
        kLinksPicker,
        kI10Picker,
        kI20Picker,
        kI30Picker,
        kI40Picker,
        kI50Picker,
        kPickerCount
    };
    void buildPickers();
    void openPicker(PickerId id);
    // Closes the picker and, unless the picker-cancel flag is set, writes its choice into the
    // field (which stores it through the field's change handler).
    void closePicker(PickerId id);
    // Re-applies the tab's own rules that a picker may have covered.
    void restoreTab(int tab);
    // Shows the help of `control` when it takes the focus from the person.
    void watchFocusHelp(QWidget* control);
    // Records that a progress value changed; paints when a paint is due.
    void noteProgress();
    // Shows the progress values now, painting only what changed.
    void paintProgress();
    void resetProgress();

    WindowServices m_services;
    SettingsContext m_settings;
    Language m_language = Language::French;
    RunState m_state;
    RunReport m_report;
    RunFrame m_frame;
    bool m_pickerCancel = false;
    std::array<PathPicker, kPickerCount> m_pickers;
    int m_openPicker = -1;
    bool m_startBeforePicker = false;
    std::vector<QWidget*> m_coveredByPicker;  // what the open picker hid
    std::vector<QWidget*> m_lockedByPicker;   // what the open picker disabled
    bool m_loading = false;
    bool m_saveFailureShown = false;
    bool m_busy = false;
    bool m_closeRequested = false;
    bool m_quietMessages = false;

    // Progress values as the run last set them; shown at most about 30 times a second.
    // Texts stay in the run's own form until they are shown.
    struct Progress {
        std::string status, recordText, lineText, timeText;
        int totalBar = 0;
        int lineBar = 0;
    };
    Progress m_progress;
    // True while m_progressTimer runs; a plain flag keeps the per-line path free of calls.
    bool m_progressTimerArmed = false;
    int m_callsSinceClock = 0;
    QElapsedTimer m_sincePaint;
    // Time since the run last visited the event loop; invalid before a run's first visit.
    QElapsedTimer m_sincePump;
    // Time since the click that started the current run: a second click within the system's
    // double-click interval is the rest of a double-click, not a stop.
    QElapsedTimer m_sinceStartClick;
    QTimer m_progressTimer;
    QTimer m_helpTimer;

    // Controls, named after their object names.
    QTabWidget* onglet = nullptr;
    QPushButton* Command1 = nullptr;
    QPushButton* Command2 = nullptr;
    QPushButton* defaut = nullptr;
    QToolButton* francais = nullptr;
    QToolButton* anglais = nullptr;
    StatusFrame* Frame1 = nullptr;
    BarPicture* pictotal = nullptr;
    BarPicture* piccours = nullptr;
    QLabel* Progressbar2 = nullptr;
    QLabel* progressbar1 = nullptr;
    QLabel* temps = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QFrame* boutons = nullptr;
    QLabel* idee = nullptr;
    QLabel* Aide = nullptr;
    ClickLabel* internet = nullptr;

    // Pages tab.
    QLabel* Label4 = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* Label7 = nullptr;
    QLabel* Label12 = nullptr;
    QLabel* Label13 = nullptr;
    QLabel* Label14 = nullptr;
    FieldEdit* source = nullptr;
    FieldEdit* fichiermodele = nullptr;
    FieldEdit* destination = nullptr;
    QComboBox* separateur = nullptr;
    QGroupBox* nompage = nullptr;
    QGroupBox* Frame5 = nullptr;
    QRadioButton* Option1 = nullptr;
    QRadioButton* Option2 = nullptr;
    QRadioButton* titrep1 = nullptr;
    QRadioButton* titrep2 = nullptr;
    std::array<QComboBox*, 5> nomdufichierhtm{};
    ElidedLabel* exemplenom = nullptr;
    QLabel* logo = nullptr;
    QWidget* picker1 = nullptr;
    QWidget* picker2 = nullptr;
    QWidget* picker3 = nullptr;
    DriveList* Drive1 = nullptr;
    DirList* ficdir = nullptr;
    FileList* ficsource = nullptr;
    DriveList* Drive2 = nullptr;
    DirList* Dirmodele = nullptr;
    FileList* ficmodele = nullptr;
    DriveList* Drive3 = nullptr;
    DirList* dirdestination = nullptr;
    QPushButton* validedestination = nullptr;

    // Hyperlinks tab.
    QLabel* Label6 = nullptr;
    QLabel* Label8 = nullptr;
    QLabel* Label9 = nullptr;
    QLabel* Label10 = nullptr;
    FieldEdit* hyperdir = nullptr;
    DriveList* Drive4 = nullptr;
    DirList* Dirlist = nullptr;
    QPushButton* Command3 = nullptr;
    QComboBox* sourcelien = nullptr;
    QComboBox* Textelien = nullptr;
    FieldEdit* Text1 = nullptr;
    FieldEdit* Tag99 = nullptr;
    FieldEdit* Text2 = nullptr;
    QLabel* Picture2 = nullptr;

    // Index tab.
    QRadioButton* Option3 = nullptr;
    QRadioButton* Option4 = nullptr;
    QLabel* Label15 = nullptr;
    QLabel* Label16 = nullptr;
    QLabel* Label17 = nullptr;
    QLabel* Label18 = nullptr;
    QLabel* Label19 = nullptr;
    QLabel* Label20 = nullptr;
    QLabel* Label21 = nullptr;
    QLabel* labelindex = nullptr;
    FieldEdit* i10 = nullptr;
    DriveList* i11 = nullptr;
    DirList* i12 = nullptr;
    QPushButton* i13 = nullptr;
    FieldEdit* i20 = nullptr;
    DriveList* i21 = nullptr;
    DirList* i22 = nullptr;
    QPushButton* i23 = nullptr;
    FieldEdit* i30 = nullptr;
    DriveList* i31 = nullptr;
    FileList* i32 = nullptr;
    QComboBox* i33 = nullptr;
    DirList* i34 = nullptr;
    FieldEdit* i40 = nullptr;
    DriveList* i41 = nullptr;
    DirList* i42 = nullptr;
    QPushButton* i43 = nullptr;
    FieldEdit* i50 = nullptr;
    DriveList* i51 = nullptr;
    DirList* i52 = nullptr;
    FileList* i53 = nullptr;
    QComboBox* Tagindex = nullptr;
    QComboBox* tagindex2 = nullptr;
    QLabel* Picture3 = nullptr;
};

}  // namespace pw
