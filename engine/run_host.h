#pragma once

#include <string>
#include <string_view>

#include "engine/progress_display.h"
#include "engine/run_settings.h"

namespace pw {

// The front end around a run: the window locks its controls and shows message boxes, the
// command line prints. Every operation but the message and the settings has a no-op default.
class RunHost : public ProgressDisplay {
  public:
    enum class Icon { Critical, Information };

    // The settings of the run the active tab selects, read at the moment of the click.
    virtual RunSettings runSettings() = 0;
    // A modal message; a Stop click may be handled while it is shown.
    virtual void showMessage(Icon icon, std::string_view text) = 0;
    // The critical box of a click that failed before its run began; the front end ends the
    // program once it is dismissed. By default the title and the text make one message.
    virtual void showFatalError(std::string_view title, std::string_view text) {
        std::string message(title);
        message += '\n';
        message += text;
        showMessage(Icon::Critical, message);
    }

    // The tabs of the window can (or cannot) be changed.
    virtual void setTabsSelectable(bool /*selectable*/) {}
    // The reset button and the online-help link.
    virtual void setResetAndHelpEnabled(bool /*enabled*/) {}
    // The two language buttons.
    virtual void setLanguageButtonsEnabled(bool /*enabled*/) {}
    // The Quit button.
    virtual void setQuitEnabled(bool /*enabled*/) {}
    // Shows both progress bars and clears the field help.
    virtual void showBarsAndClearHelp() {}
    // Disables (or enables again) the inputs of the active tab.
    virtual void lockInputs() {}
    virtual void unlockInputs() {}
    // The caption of the Start button: the start word or the stop word.
    virtual void setStartCaption(std::string_view /*caption*/) {}
    virtual void setBusyPointer(bool /*busy*/) {}
    // The pages run selects the first titling or naming method when its tag list is empty, as
    // if the person had chosen it (the window's handlers then store the choice).
    virtual void selectFirstTitling() {}
    virtual void selectFirstNaming() {}
};

}  // namespace pw
