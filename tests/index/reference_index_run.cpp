#include <dirent.h>
#include <sys/stat.h>

#include <cctype>
#include <fstream>

#include "reference_runs.h"
#include "tests/support/name_order.h"

namespace pw::reference {

std::vector<std::string> readLines(const std::string& path, bool dataFile) {
    std::ifstream in(path, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (dataFile && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) {
        bytes.erase(0, 3);
    }
    std::vector<std::string> lines;
    std::string line;
    size_t i = 0;
    while (i < bytes.size()) {
        char c = bytes[i++];
        if (c == '\r' || c == '\n') {
            lines.push_back(line);
            line.clear();
            if (c == '\r' && i < bytes.size() && bytes[i] == '\n') {
                ++i;
            }
        } else {
            line += c;
        }
    }
    if (!line.empty()) {
        lines.push_back(line);
    }
    return lines;
}

namespace {

struct entree_index {
    std::string critere;
    std::string texte;
    std::string fichier;
};

std::string lowered(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return text;
}

bool canCreate(const std::string& name) {
    return name.find('/') == std::string::npos && name.find('\0') == std::string::npos &&
           name.size() <= 255;
}

}  // namespace

void indexRun(const std::string& i10, const std::string& i20, const std::string& criterionMarker,
              const std::string& textMarker) {
    std::vector<std::string> fichiers;
    if (DIR* dir = opendir(i10.c_str())) {
        while (dirent* item = readdir(dir)) {
            std::string name = item->d_name;
            struct stat info;
            if (name[0] == '.' || name.size() < 4 ||
                lowered(name.substr(name.size() - 4)) != ".htm" ||
                stat((i10 + name).c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
                continue;
            }
            fichiers.push_back(name);
        }
        closedir(dir);
    }
    // The directory lists its pages by name, a-z read as A-Z.
    test::sortInNameOrder(fichiers);

    std::vector<entree_index> entrees;
    for (const std::string& fichier : fichiers) {
        if (lowered(fichier.substr(0, 5)) == "index") {
            continue;
        }
        int etat = 0;  // 1 criterion next, 2 text next
        bool trouve = false;
        entree_index entree{"", "", fichier};
        for (const std::string& ligne : readLines(i10 + fichier)) {
            if (etat == 1) {
                entree.critere = ligne;
                trouve = true;
                etat = 0;
            } else if (etat == 2) {
                entree.texte = ligne;
                etat = 0;
            }
            if (ligne.find(criterionMarker) != std::string::npos) {
                etat = 1;
            }
            if (ligne.find(textMarker) != std::string::npos) {
                etat = 2;
            }
        }
        if (trouve) {
            entrees.push_back(entree);
        }
    }

    for (size_t i = 0; i < entrees.size(); ++i) {
        if (entrees[i].critere == "vide") {
            continue;
        }
        std::string critere = entrees[i].critere;
        std::string name = "index_" + critere + ".htm";
        std::string page;
        page += "<!doctype html public \"-//w3c//dtd html 4.0 transitional//en\">\r\n";
        page += "<html>\r\n";
        page += "<head>\r\n";
        page += "<meta name=\"Author\" content=\"Pagewright\">\r\n";
        page += "<meta name=\"GENERATOR\" content=\"Pagewright\">\r\n";
        page += "<title>Index " + critere + "</title>\r\n";
        page += "</head>\r\n";
        page += "<body>\r\n";
        for (size_t j = 0; j < entrees.size(); ++j) {
            if (entrees[j].critere == critere && entrees[j].critere != "vide") {
                page +=
                    "<a href=\"" + entrees[j].fichier + "\">" + entrees[j].texte + "</a><br>\r\n";
            }
        }
        page += "</body>\r\n";
        page += "</html>\r\n";
        for (size_t j = 0; j < entrees.size(); ++j) {
            if (entrees[j].critere == critere) {
                entrees[j].critere = "vide";
            }
        }
        if (canCreate(name)) {
            std::ofstream out(i20 + name, std::ios::binary | std::ios::trunc);
            out << page;
        }
    }
}

}  // namespace pw::reference
