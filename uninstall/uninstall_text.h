#pragma once

#include <string>
#include <string_view>

#include "engine/language.h"
#include "uninstall/removal.h"

namespace pw {

// The language of the uninstall program's messages: French when the locale (LC_ALL, else
// LC_MESSAGES, else LANG) starts with "fr", else English.
Language localeLanguage();

// What the plan will remove, one item a line: the files inside the installation folder as
// one count, every other file by its path, the folders, the registry records.
std::string describePlan(const RemovalPlan& plan, Language language);

// What was removed and which folders were kept, in the same form.
std::string describeOutcome(const RemovalOutcome& outcome, const RemovalPlan& plan,
                            Language language);

// The yes/no question asked after the plan.
std::string_view removeQuestion(Language language);

// True for an answer that means yes in either language: y, yes, o, oui, in any case, blanks
// around it ignored.
bool isYes(std::string_view answer);

}  // namespace pw
