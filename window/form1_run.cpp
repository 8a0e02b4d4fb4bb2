// The Start/Stop button and the progress frame: the window's side of the run frame.
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QRegion>
#include <QTabWidget>
#include <QToolButton>

#include "engine/separators.h"
#include "window/form1.h"
#include "window/list_widgets.h"
#include "window/progress_frame.h"
#include "window/qt_text.h"

namespace pw {

namespace {

// At most about 30 repaints a second.
constexpr qint64 kRepaintMilliseconds = 33;
// The clock is read once per this many progress calls: a run makes a few calls per line of
// every page, and reading the clock costs more than all the rest of a call.
constexpr int kCallsPerClockReading = 64;
// The run asks for the event loop once per page; a visit costs about as much as a fifth of a
// small page, so the loop is visited at most once per this interval (a person cannot tell a
// millisecond), and always at the first request of a run.
constexpr qint64 kPumpNanoseconds = 1'000'000;

}  // namespace

void Form1::Command1_Click() {
    if (m_state.runInProgress) {
        // The second click of a double-click on Start arrives once the run has begun.
        if (m_sinceStartClick.isValid() &&
            m_sinceStartClick.elapsed() < QApplication::doubleClickInterval()) {
            return;
        }
    } else {
        m_sinceStartClick.start();
    }
    m_sincePump.invalidate();
    if (m_frame.Command1_Click() == ClickResult::Fatal) {
        m_services.endProgram();
        return;
    }
    if (!m_state.runInProgress) {
        paintProgress();
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
    paintProgress();
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
            enableTagLists();
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
    noteProgress();
}

void Form1::setRecordText(std::string_view text) {
    m_progress.recordText.assign(text);
    noteProgress();
}

void Form1::setTotalBar(int percent) {
    m_progress.totalBar = percent;
    noteProgress();
}

void Form1::setLineText(std::string_view text) {
    m_progress.lineText.assign(text);
    noteProgress();
}

void Form1::setLineBar(int percent) {
    m_progress.lineBar = percent;
    noteProgress();
}

void Form1::setTimeText(std::string_view text) {
    m_progress.timeText.assign(text);
    noteProgress();
}

void Form1::pumpEvents() {
    if (m_services.pumpHook) {
        m_services.pumpHook();
    }
    if (m_sincePump.isValid() && m_sincePump.nsecsElapsed() < kPumpNanoseconds) {
        return;
    }
    m_sincePump.start();
    QCoreApplication::processEvents();
}

void Form1::ringBell() {
    QApplication::beep();
}

void Form1::resetProgress() {
    m_progress = Progress{};
    paintProgress();
}

void Form1::noteProgress() {
    // Most calls (one or two per line of a page) only record their value: the clock is read on
    // the first call after a paint and then once per kCallsPerClockReading calls, and the timer
    // armed meanwhile shows the values if no other call comes.
    if (m_progressTimerArmed && ++m_callsSinceClock < kCallsPerClockReading) {
        return;
    }
    m_callsSinceClock = 0;
    if (m_sincePaint.isValid() && m_sincePaint.elapsed() < kRepaintMilliseconds) {
        if (!m_progressTimerArmed) {
            m_progressTimer.start(kRepaintMilliseconds);
            m_progressTimerArmed = true;
        }
        return;
    }
    paintProgress();
}

void Form1::paintProgress() {
    m_progressTimer.stop();
    m_progressTimerArmed = false;
    m_sincePaint.start();
    // Only what changed is painted, and at once: a run visits the event loop only between pages.
    QRegion changed;
    const QString status = qs(m_progress.status);
    if (Frame1->title() != status) {
        Frame1->setTitle(status);
        changed += Frame1->rect();
    }
    auto placeOf = [this](const QWidget* widget) {
        return QRect(widget->mapTo(Frame1, QPoint(0, 0)), widget->size());
    };
    auto showText = [&](QLabel* label, const std::string& text) {
        const QString value = qs(text);
        if (label->text() != value) {
            label->setText(value);
            changed += placeOf(label);
        }
    };
    showText(Progressbar2, m_progress.recordText);
    showText(progressbar1, m_progress.lineText);
    showText(temps, m_progress.timeText);
    auto showBar = [&](BarPicture* bar, int percent) {
        const int before = bar->percent();
        bar->setPercent(percent);
        if (bar->percent() != before) {
            changed += placeOf(bar);
        }
    };
    showBar(pictotal, m_progress.totalBar);
    showBar(piccours, m_progress.lineBar);
    if (!changed.isEmpty()) {
        Frame1->repaint(changed);
    }
}

}  // namespace pw
