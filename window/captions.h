#pragma once

#include <span>
#include <string_view>

#include "engine/messages.h"
#include "pagewright_version.h"

namespace pw {

// One caption that follows the language: the object name of the control it belongs to (the
// tab titles are "onglet0" to "onglet2") and its two wordings. Trailing blanks are part of
// the captions.
struct Caption {
    std::string_view control;
    Wording text;
};

// Every caption the activation sets, in the order of the window's caption table.
std::span<const Caption> languageCaptions();

// The window title in both languages.
inline constexpr Wording kWindowTitle{
    "Pagewright " PAGEWRIGHT_VERSION " - Générateur express de pages HTML",
    "Pagewright " PAGEWRIGHT_VERSION " - HTML page express generator"};

// The caption of the picker Ok buttons, the same in both languages.
inline constexpr std::string_view kOkCaption = "Ok";

// The naming example's first caption, before any tag is chosen.
inline constexpr std::string_view kInitialExample = "Exemple : ";

// The message shown when no browser can be found for the online help.
inline constexpr Wording kNoBrowser{
    "Il n'y a pas de navigateur internet installé sur votre ordinateur.",
    "There is no browser currently installed on your computer."};

// The help text of a field, shown beside the light bulb when the field is pressed (or, for
// some lists, focused). Nothing for a control without help.
const Wording* fieldHelp(std::string_view control);

}  // namespace pw
