#include "cli/stored_choices.h"

#include <cstdio>

#include "cli/read_only_registry.h"
#include "registry/install_dir.h"
#include "settings/settings.h"

namespace pw::cli {

StoredChoices loadStoredChoices(Language language, StoredAccess access) {
    StoredChoices c;
    if (access == StoredAccess::ReadOnly) {
        ReadOnlyRegistry registry(systemRegistry());
        c.installDir = installationDirectory([](const std::string&) {}, registry);
    } else {
        c.installDir = installationDirectory(
            [](const std::string& message) { std::fprintf(stderr, "%s\n", message.c_str()); });
        ensureDefaultDirectory();
    }
    const SettingsSnapshot stored =
        p_lecture_fichier_ini(settingsContextFromEnvironment(c.installDir));

    c.language = language;
    // Stored sample files follow the chosen language, as the window's activation swaps them.
    SampleFields samples =
        swapSampleFiles({stored.source, stored.modele, stored.indexFile, stored.indexModel},
                        c.installDir, c.language);
    c.source = samples.source;
    c.model = samples.fichiermodele;
    c.yearbookData = samples.i30;
    c.yearbookModel = samples.i50;

    c.destination = stored.destination;
    c.separator = stored.separator();
    std::array<std::string, 5> tags = stored.namingTags();
    c.composedNames = stored.naming == NamingMethod::FromTags;
    std::copy_n(tags.begin(), 4, c.namingTags.begin());
    c.titleFromTag = stored.titling == TitleMethod::FromTag;
    c.titleTag = tags[4];

    c.linksDirectory = stored.lien;
    c.linkTag = stored.textesource;
    c.linkTextTag = stored.textelien;
    c.linkPrefix = stored.tag99;

    c.indexSource = stored.source1;
    c.indexDestination = stored.destination1;
    c.criterionTag = stored.tagIndex2;
    c.indexTextTag = stored.tagIndex;

    c.yearbookDestination = stored.destination2;
    c.yearbookSeparator = stored.separator2();
    return c;
}

}  // namespace pw::cli
