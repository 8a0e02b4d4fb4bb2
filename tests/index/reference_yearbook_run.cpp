#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "reference_runs.h"

namespace pw::reference {

namespace {

bool has(const std::string& line, const std::string& text) {
    return line.find(text) != std::string::npos;
}

void copyFile(const std::string& from, const std::string& to) {
    std::error_code ignored;
    std::filesystem::copy_file(from, to, std::filesystem::copy_options::overwrite_existing,
                               ignored);
}

// Two departures from the rules as once written. A column that a record does not reach is empty
// (the rules left the previous record's value there), as the program decides for every run. And a
// column value is data and is never read as a tag marker. They read a value holding
// "<!--/tag100-->" or "<!--tag3-->" as a marker in the next pass, which multiplied the blocks for
// every later record; the run builds one block per record instead. To compare with it, this
// transcription remembers which lines of the page are values and skips the marker tests for them.
// For a value without a marker those tests fail anyway, so for such data this is the page-by-page
// algorithm unchanged.
struct Yearbook {
    std::array<std::string, 101> colonnes;
    bool premier = true;
    bool saute = false;
    std::vector<bool> valeursPage;  // for each line of the page: a column value
    std::vector<bool> valeursTmp;   // the same for the pass being written

    void ecrit(std::ofstream& out, const std::string& ligne, bool valeur) {
        out << ligne << "\r\n";
        valeursTmp.push_back(valeur);
    }

    void decoupe(const std::string& ligne, char separateur) {
        size_t p = 0;
        for (int k = 0; k <= 100; ++k) {
            size_t q = ligne.find(separateur, p);
            if (q == std::string::npos) {
                colonnes[k] = ligne.substr(p);
                for (int rest = k + 1; rest <= 100; ++rest) {
                    colonnes[rest].clear();
                }
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
                    ecrit(out, b, false);
                    copie = true;
                }
                for (int k = 0; k <= 99; ++k) {
                    if (has(b, "<!--tag" + std::to_string(k) + "-->")) {
                        ecrit(out, colonnes[k], true);
                        copie = false;
                        break;
                    }
                }
            } else if (has(b, "<!--/tag")) {
                copie = true;
                if (has(b, "<!--/tag100")) {
                    ecrit(out, b, false);
                    break;
                }
            } else if (copie) {
                ecrit(out, b, false);
            }
        }
        saute = false;
    }

    void passe(const std::string& page, const std::string& tmp, const std::string& tmp2) {
        std::vector<std::string> lignes = readLines(page);
        std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
        valeursTmp.clear();
        saute = false;
        for (size_t i = 0; i < lignes.size(); ++i) {
            const std::string& l = lignes[i];
            const bool valeur = i < valeursPage.size() && valeursPage[i];
            if (!valeur && has(l, "<!--tag")) {
                for (int k = 0; k <= 99; ++k) {
                    if (has(l, "<!--tag" + std::to_string(k) + "-->")) {
                        ecrit(out, colonnes[k], true);
                        saute = true;
                        break;
                    }
                }
                if (has(l, "<!--tag100-->") && premier) {
                    ecrit(out, "<!--tag100-->", false);
                }
            } else if (!valeur && has(l, "<!--/tag")) {
                saute = false;
                if (has(l, "<!--/tag100-->")) {
                    if (premier) {
                        ecrit(out, "<!--/tag100-->", false);
                    } else {
                        copieBloc(tmp2, out);
                    }
                }
            } else if (!saute) {
                if (has(l, "<meta name=\"GENERATOR\" content=")) {
                    ecrit(out, "<meta name=\"GENERATOR\" content=\"Pagewright\">", false);
                } else if (has(l, "<title>")) {
                    ecrit(out, "<title>Index</title>", false);
                } else {
                    ecrit(out, l, valeur);
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
        yearbook.valeursPage = yearbook.valeursTmp;
    }
    std::remove(tmp.c_str());
    std::remove(tmp2.c_str());
    return false;
}

}  // namespace pw::reference
