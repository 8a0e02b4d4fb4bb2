// The Start/Stop button and the progress frame: the window's side of the run frame.
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QToolButton>

#include "engine/pages_run.h"
#include "engine/separators.h"
#include "index/index_pages_run.h"
#include "index/yearbook_run.h"
#include "links/hyperlinks_run.h"
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

// At most about 30 repaints a second.
constexpr qint64 kRepaintMilliseconds = 33;
// The clock is read once per this many progress calls: a run makes a few calls per line of
// every page, and reading the clock costs more than all the rest of a call.
constexpr int kCallsPerClockReading = 64;

}  // namespace

RunTable windowRunTable() {
    RunTable runs;
    runs.pages = &runPages;
    runs.hyperlinks = &runHyperlinks;
    runs.indexPages = &runIndexPages;
    runs.yearbook = &runYearbook;
    return runs;
}

void Form1::Command1_Click() {
    if (m_frame.Command1_Click() == ClickResult::Fatal) {
        m_services.endProgram();
        return;
    }
    if (!m_state.runInProgress) {
        flushProgress(true);
    }
    if (m_closeRequested && !m_state.runInProgress) {
        m_closeRequested = false;
        close();
    }
}

RunSettings Form1::runSettings() {
    RunSettings settings;
    settings.tab = static_cast<Tab>(onglet->currentIndex());
    settings.Option3 = Option3->isChecked();
    settings.Option4 = Option4->isChecked();
    settings.language = m_language;
    settings.installDir = m_settings.installDir;

    settings.source = ss(source->text());
    settings.fichiermodele = ss(fichiermodele->text());
    settings.destination = ss(destination->text());
    settings.separateur = separatorAt(separateur->currentIndex());
    settings.Option2 = Option2->isChecked();
    settings.namingTags = namingTagTexts();
    settings.titrep2 = titrep2->isChecked();
    settings.titleTag = ss(nomdufichierhtm[4]->currentText());

    settings.hyperdir = ss(hyperdir->text());
    settings.sourcelien = ss(sourcelien->currentText());
    settings.Textelien = ss(Textelien->currentText());
    settings.Tag99 = ss(Tag99->text());

    settings.i10 = ss(i10->text());
    settings.i20 = ss(i20->text());
    settings.tagindex2 = ss(tagindex2->currentText());
    settings.Tagindex = ss(Tagindex->currentText());

    settings.i30 = ss(i30->text());
    settings.i50 = ss(i50->text());
    settings.i40 = ss(i40->text());
    settings.i33 = separatorAt(i33->currentIndex());
    return settings;
}

void Form1::showMessage(Icon icon, std::string_view text) {
    // A box must never hide progress that has not been painted yet.
    flushProgress(true);
    if (m_quietMessages) {
        return;
    }
    m_services.messageBox(icon, qs(text));
}

void Form1::showFatalError(std::string_view title, std::string_view text) {
    m_services.fatalBox(qs(title), qs(text));
}

void Form1::setTabsSelectable(bool selectable) {
    for (int i = 0; i < onglet->count(); ++i) {
        if (i != onglet->currentIndex()) {
            onglet->setTabEnabled(i, selectable);
        }
    }
}

void Form1::setResetAndHelpEnabled(bool enabled) {
    defaut->setEnabled(enabled);
    internet->setEnabled(enabled);
}

void Form1::setLanguageButtonsEnabled(bool enabled) {
    francais->setEnabled(enabled);
    anglais->setEnabled(enabled);
}

void Form1::setQuitEnabled(bool enabled) {
    Command2->setEnabled(enabled);
}

void Form1::showBarsAndClearHelp() {
    pictotal->show();
    piccours->show();
    clearFieldHelp();
}

void Form1::lockInputs() {
    switch (onglet->currentIndex()) {
        case 0:
            for (QWidget* control :
                 std::initializer_list<QWidget*>{source, separateur, destination, fichiermodele,
                                                 Option1, Option2, titrep1, titrep2}) {
                control->setEnabled(false);
            }
            for (QComboBox* list : nomdufichierhtm) {
                list->setEnabled(false);
            }
            break;
        case 1:
            for (QWidget* control :
                 std::initializer_list<QWidget*>{hyperdir, sourcelien, Textelien, Tag99}) {
                control->setEnabled(false);
            }
            break;
        case 2:
            for (QWidget* control : std::initializer_list<QWidget*>{
                     Option3, Tagindex, tagindex2, Option4, i10, i20, i30, i40, i50, i33}) {
                control->setEnabled(false);
            }
            break;
        default:
            break;
    }
}

void Form1::unlockInputs() {
    switch (onglet->currentIndex()) {
        case 0:
            for (QWidget* control :
                 std::initializer_list<QWidget*>{fichiermodele, source, separateur, destination,
                                                 Option1, Option2, titrep1, titrep2}) {
                control->setEnabled(true);
            }
            if (Option2->isChecked()) {
                for (int i = 0; i < 4; ++i) {
                    if (!nomdufichierhtm[i]->currentText().isEmpty()) {
                        nomdufichierhtm[i]->setEnabled(true);
                    }
                }
            }
            if (titrep2->isChecked()) {
                nomdufichierhtm[4]->setEnabled(true);
            }
            break;
        case 1:
            for (QWidget* control :
                 std::initializer_list<QWidget*>{hyperdir, sourcelien, Textelien, Tag99}) {
                control->setEnabled(true);
            }
            break;
        case 2:
            Option3->setEnabled(true);
            Option4->setEnabled(true);
            applyIndexMode();
            break;
        default:
            break;
    }
}

void Form1::setStartCaption(std::string_view caption) {
    Command1->setText(qs(caption));
}

void Form1::setBusyPointer(bool busy) {
    if (busy == m_busy) {
        return;
    }
    m_busy = busy;
    if (busy) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
    } else {
        QApplication::restoreOverrideCursor();
    }
}

void Form1::selectFirstTitling() {
    selectOption(titrep1);
}

void Form1::selectFirstNaming() {
    selectOption(Option1);
}

void Form1::setStatus(std::string_view text) {
    m_progress.status.assign(text);
    flushProgress(false);
}

void Form1::setRecordText(std::string_view text) {
    m_progress.recordText.assign(text);
    flushProgress(false);
}

void Form1::setTotalBar(int percent) {
    m_progress.totalBar = percent;
    flushProgress(false);
}

void Form1::setLineText(std::string_view text) {
    m_progress.lineText.assign(text);
    flushProgress(false);
}

void Form1::setLineBar(int percent) {
    m_progress.lineBar = percent;
    flushProgress(false);
}

void Form1::setTimeText(std::string_view text) {
    m_progress.timeText.assign(text);
    flushProgress(false);
}

void Form1::pumpEvents() {
    if (m_services.pumpHook) {
        m_services.pumpHook();
    }
    QCoreApplication::processEvents();
}

void Form1::ringBell() {
    QApplication::beep();
}

void Form1::resetProgress() {
    m_progress = Progress{};
    flushProgress(true);
}

void Form1::flushProgress(bool force) {
    m_progressDirty = true;
    if (!force && m_sincePaint.isValid() && ++m_callsSinceClock < kCallsPerClockReading) {
        if (!m_progressTimer.isActive()) {
            m_progressTimer.start(kRepaintMilliseconds);
        }
        return;
    }
    m_callsSinceClock = 0;
    if (!force && m_sincePaint.isValid() && m_sincePaint.elapsed() < kRepaintMilliseconds) {
        // The values wait for the next paint; the timer shows them if no other call comes.
        if (!m_progressTimer.isActive()) {
            m_progressTimer.start(kRepaintMilliseconds);
        }
        return;
    }
    m_progressTimer.stop();
    m_progressDirty = false;
    m_sincePaint.start();
    Frame1->setTitle(qs(m_progress.status));
    Progressbar2->setText(qs(m_progress.recordText));
    progressbar1->setText(qs(m_progress.lineText));
    temps->setText(qs(m_progress.timeText));
    pictotal->setPercent(m_progress.totalBar);
    piccours->setPercent(m_progress.lineBar);
    // The run paints without waiting for the event loop, which it only visits once per page.
    Frame1->repaint();
}

}  // namespace pw
