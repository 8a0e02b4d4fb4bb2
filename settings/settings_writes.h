#pragma once

#include <array>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "engine/language.h"
#include "fs/status.h"
#include "settings/profile.h"
#include "settings/settings_keys.h"
#include "settings/settings_snapshot.h"

namespace pw {

// The key writes of the window's handlers. Each is one change of the settings file `file`;
// the window does not need to examine the result.

// Writes `value` under `name` in `section`, unchanged (trailing blanks included).
Status writeKey(const std::filesystem::path& file, std::string_view section, std::string_view name,
                std::string_view value);

// The `_Change` handlers of the text fields (`source_Change` → Source, `fichiermodele` →
// Modele, `destination` → Destination, `hyperdir` → Lien, `i10` → Source1, `i20` →
// Destination1, `i30` → index_file, `i40` → Destination2, `i50` → index_model) and the
// `_Click` handlers of the tag lists (`sourcelien` → key::kTextesourceAsWritten, `Textelien`,
// `Tagindex` → TagIndex, `tagindex2` → TagIndex2): write `text` only when it is not empty,
// so emptying a field keeps the stored value. Returns ok without writing for an empty text.
Status writeKeyIfNotEmpty(const std::filesystem::path& file, std::string_view section,
                          std::string_view name, std::string_view text);

// `francais_Click` / `anglais_Click`: `Langue` = "F" or "E".
Status writeLanguage(const std::filesystem::path& file, Language language);

// `Option1_Click`: `Option` = "1", then TagF0..TagF4 = the five list texts after lists 0 to 3
// are emptied (TagF0..TagF3 empty, TagF4 = `tagF4`). `Option2_Click`: `Option` = "2".
Status writeNamingMethod(const std::filesystem::path& file, NamingMethod method,
                         std::string_view tagF4 = {});

// `titrep1_Click`: `Titre` = "1", then `TagF4` empty. `titrep2_Click`: `Titre` = "2".
Status writeTitleMethod(const std::filesystem::path& file, TitleMethod method);

// `nomdufichierhtm_Click`: TagF0..TagF4 = the five list texts.
Status writeNamingTags(const std::filesystem::path& file, const std::array<std::string, 5>& texts);

// `separateur_LostFocus` (Symbole) and `i33_LostFocus` (Symbole2): the list index in decimal.
Status writeSeparatorIndex(const std::filesystem::path& file, std::string_view name, int index);

// `Option3_Click` / `Option4_Click`: `IndexMethod` = "True " or "False".
Status writeIndexRun(const std::filesystem::path& file, IndexRun run);

// The keys and values of a reset in `language`, in the order they are written: `Langue`, the
// four sample paths of that language, then the fixed defaults of Parametres and Index.
// `Tag99` and TagF0..TagF3 are not among them and read back empty.
std::vector<ProfileWrite> defaultWrites(const SettingsContext& context, Language language);

// `defaut_Click`: replaces the settings file with exactly defaultWrites(), as one change (the
// old file stays whole until the new one is complete). The window then reloads with
// p_lecture_fichier_ini().
Status resetToDefaults(const SettingsContext& context, Language language);

// The texts of the four fields that may hold a sample file.
struct SampleFields {
    std::string source;         // `source`
    std::string fichiermodele;  // `fichiermodele`
    std::string i30;            // yearbook data file
    std::string i50;            // yearbook model
};

// The activation's swap: each field holding exactly (case matters) the other language's
// sample path for that field becomes the sample path of `language`; other texts stay.
SampleFields swapSampleFiles(SampleFields fields, std::string_view installDir, Language language);

// The activation's writes, whatever the texts (even empty), in this order: index_file ← i30,
// index_model ← i50, Modele ← fichiermodele, Source ← source.
Status writeSampleKeys(const std::filesystem::path& file, const SampleFields& fields);

}  // namespace pw
