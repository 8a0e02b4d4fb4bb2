#include "registry/browser.h"

#include "registry/process_launch.h"

namespace pw {

std::string p_cherchecle_navigateur(const RegistryMessageSink& sink, RegistryApi& api) {
    WinRegistry registry(sink, api);
    registry.CreateKey(kHkeyClassesRoot, std::string(kBrowserCommandKey), kKeyAllAccess, false);
    RegistryData value = registry.QueryValue("");
    registry.CloseKey();
    const auto* text = std::get_if<std::string>(&value);
    return text != nullptr ? *text : std::string();
}

std::string browserProgramText(std::string_view recorded) {
    std::string upper(recorded);
    for (char& c : upper) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    size_t at = upper.find(".EXE");
    if (at != std::string::npos) {
        return std::string(recorded.substr(0, at + 5));
    }
    size_t start = recorded.find_first_not_of(" \t");
    if (start == std::string_view::npos) {
        return {};
    }
    size_t end = recorded[start] == '"' ? recorded.find('"', start + 1)
                                        : recorded.find_first_of(" \t", start);
    if (end == std::string_view::npos) {
        return std::string(recorded);
    }
    return std::string(recorded.substr(0, recorded[start] == '"' ? end + 1 : end));
}

std::vector<std::string> browserCommand(std::string_view helpAddress,
                                        const RegistryMessageSink& sink, RegistryApi& api) {
    size_t start = helpAddress.find_first_not_of(' ');
    std::string address(start == std::string_view::npos ? std::string_view()
                                                        : helpAddress.substr(start));
    std::vector<std::string> argv =
        splitCommandLine(browserProgramText(p_cherchecle_navigateur(sink, api)));
    if (argv.empty() || argv.front().empty()) {
        std::string opener = findOnPath("xdg-open");
        if (opener.empty()) {
            return {};
        }
        argv = {opener};
    }
    argv.push_back(address);
    return argv;
}

}  // namespace pw
