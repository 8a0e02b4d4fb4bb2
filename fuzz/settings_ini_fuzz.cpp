// Feeds arbitrary bytes to the settings-file reader and writer and checks what must hold for
// any file: parsing and serializing an unchanged file gives its bytes back exactly, a
// load never fails, and a write changes only its own key.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "engine/utf8.h"
#include "settings/ini_document.h"
#include "settings/settings_snapshot.h"
#include "settings/text_encoding.h"

namespace {

void check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    pw::IniDocument document = pw::IniDocument::parse(bytes);

    // Every line keeps its bytes until a write changes it.
    const std::string text(bytes);
    check(document.serialize() == text);

    const pw::SettingsSnapshot before = pw::p_lecture_fichier_ini(document, "/install/", "/home/");
    check(before.separatorIndex >= 0 && before.separatorIndex <= 6);
    check(before.separatorIndex2 >= 0 && before.separatorIndex2 <= 6);
    check(before.tag99.size() <= 499 * 4 && before.source.size() <= 99 * 4);
    check(pw::isWellFormedUtf8(before.tag99) && pw::isWellFormedUtf8(before.source));

    // A value taken from the input's first bytes, when it can be stored at all.
    const std::string_view head = std::string_view(text).substr(0, 40);
    const std::string_view value = head.substr(0, head.find_first_of("\r\n"));
    const std::string expected =
        pw::IniDocument::parse("[S]\r\nk=" + std::string(value) + "\r\n").read("S", "k", "", 1000);

    for (const char* section : {"Fuzz", "Parametres", "Index"}) {
        pw::IniDocument changed = pw::IniDocument::parse(bytes);
        if (!changed.write(section, "FuzzKey", value).ok()) {
            check(!pw::isWellFormedUtf8(value));
            check(changed.serialize() == text);
            continue;
        }
        const pw::IniDocument reread = pw::IniDocument::parse(changed.serialize());
        check(reread.serialize() == changed.serialize());
        check(reread.read(section, "fuzzkey", "<missing>", 1000) == expected);
        check(pw::p_lecture_fichier_ini(reread, "/install/", "/home/") == before);
    }

    pw::IniDocument option = pw::IniDocument::parse(bytes);
    check(option.write("Parametres", "Option", "2").ok());
    const pw::SettingsSnapshot after = pw::p_lecture_fichier_ini(
        pw::IniDocument::parse(option.serialize()), "/install/", "/home/");
    check(after.naming == pw::NamingMethod::FromTags);
    check(after.tag99 == before.tag99 && after.tagF == before.tagF && after.lien == before.lien);
    return 0;
}
