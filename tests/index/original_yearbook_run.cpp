#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "original_runs.h"

namespace pw::original {

namespace {

bool has(const std::string& line, const std::string& text) {
    return line.find(text) != std::string::npos;
}

void copyFile(const std::string& from, const std::string& to) {
    std::error_code ignored;
    std::filesystem::copy_file(from, to, std::filesystem::copy_options::overwrite_existing,
                               ignored);
}

struct Yearbook {
    std::array<std::string, 101> colonnes;
    bool premier = true;
    bool saute = false;

    void decoupe(const std::string& ligne, char separateur) {
        size_t p = 0;
        for (int k = 0; k <= 100; ++k) {
            size_t q = ligne.find(separateur, p);
            if (q == std::string::npos) {
                colonnes[k] = ligne.substr(p);
                return;
            }
            colonnes[k] = ligne.substr(p, q - p);
            p = q + 1;
        }
    }

    void copieBloc(const std::string& tmp2, std::ofstream& out) {
        bool copie = false;
        for (const std::string& b : readLines(tmp2)) {
            if (has(b, "<!--tag")) {
                if (has(b, "<!--tag100")) {
                    out << b << "\r\n";
                    copie = true;
                }
                for (int k = 0; k <= 99; ++k) {
                    if (has(b, "<!--tag" + std::to_string(k) + "-->")) {
                        out << colonnes[k] << "\r\n";
                        copie = false;
                        break;
                    }
                }
            } else if (has(b, "<!--/tag")) {
                copie = true;
                if (has(b, "<!--/tag100")) {
                    out << b << "\r\n";
                    break;
                }
            } else if (copie) {
                out << b << "\r\n";
            }
        }
        saute = false;
    }

    void passe(const std::string& page, const std::string& tmp, const std::string& tmp2) {
        std::vector<std::string> lignes = readLines(page);
        std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
        saute = false;
        for (const std::string& l : lignes) {
            if (has(l, "<!--tag")) {
                for (int k = 0; k <= 99; ++k) {
                    if (has(l, "<!--tag" + std::to_string(k) + "-->")) {
                        out << colonnes[k] << "\r\n";
                        saute = true;
                        break;
                    }
                }
                if (has(l, "<!--tag100-->") && premier) {
                    out << "<!--tag100-->\r\n";
                }
            } else if (has(l, "<!--/tag")) {
                saute = false;
                if (has(l, "<!--/tag100-->")) {
                    if (premier) {
                        out << "<!--/tag100-->\r\n";
                    } else {
                        copieBloc(tmp2, out);
                    }
                }
            } else if (!saute) {
                if (has(l, "<meta name=\"GENERATOR\" content=")) {
                    out << "<meta name=\"GENERATOR\" content=\"Pagewright\">\r\n";
                } else if (has(l, "<title>")) {
                    out << "<title>Index</title>\r\n";
                } else {
                    out << l << "\r\n";
                }
            }
        }
    }
};

}  // namespace

bool yearbookRun(const std::string& data, char separator, const std::string& model,
                 const std::string& d, const std::string& installDir, int stopAtPump) {
    const std::string n = "Index_One_Page.htm";
    const std::string page = d + n;
    const std::string tmp = d + "tmp_" + n;
    const std::string tmp2 = d + "tmp2_" + n;
    copyFile(model, page);
    copyFile(installDir + "Bin/Backgrd.gif", d + "Backgrd.gif");
    copyFile(page, tmp);
    copyFile(model, tmp2);

    Yearbook yearbook;
    int pumps = 0;
    for (const std::string& ligne : readLines(data, true)) {
        yearbook.decoupe(ligne, separator);
        if (++pumps == stopAtPump) {
            std::remove(tmp.c_str());
            std::remove(tmp2.c_str());
            return true;
        }
        yearbook.passe(page, tmp, tmp2);
        yearbook.premier = false;
        copyFile(tmp, page);
    }
    std::remove(tmp.c_str());
    std::remove(tmp2.c_str());
    return false;
}

}  // namespace pw::original
