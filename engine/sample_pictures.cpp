#include "engine/sample_pictures.h"

#include <string>

#include "fs/work_file.h"

namespace pw {

bool isSampleModel(const std::string& modelPath) {
    std::string lower = modelPath;
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return lower.find("exemple_de_modèle_html.htm") != std::string::npos ||
           lower.find("sample_html_model_file.htm") != std::string::npos;
}

void copySamplePictures(Env& env, const RunSettings& settings) {
    if (!isSampleModel(settings.fichiermodele)) {
        return;
    }
    Directory destination(env, settings.destination);
    if (!destination.ok()) {
        return;
    }
    for (int k = 0; k <= 6; ++k) {
        std::string name = "sample" + std::to_string(k) + ".jpg";
        Delivery delivery;
        (void)copyFileInto(settings.installDir + "Bin/" + name, destination, name, delivery);
    }
}

}  // namespace pw
