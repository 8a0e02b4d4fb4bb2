#pragma once

#include <cstdint>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace pw::test {

// A catalogue as a spreadsheet exports it for Pagewright, with what such exports bring along:
// CR LF line ends, a header row, a trailing separator on every row, values holding the
// separator or quotation marks in quotation marks, blank rows (empty, or separators only),
// a reference given twice, one holding a '/', one left empty, and a row cut short. Either UTF-8
// with a byte-order mark or Windows-1252.
struct SpreadsheetExport {
    std::string bytes;
    // For each problem, the data-file lines that have it, in order.
    std::map<std::string, std::vector<uint64_t>> lines;
    // The line of the row whose reference the duplicate repeats.
    uint64_t duplicatedLine = 0;
};

// The model the catalogue is made for: tags 0 to 5, a title, and UTF-8 declared.
inline const char* kCatalogueModel =
    "<!DOCTYPE html>\r\n<html>\r\n<head>\r\n<meta charset=\"utf-8\">\r\n<title>x</title>\r\n"
    "</head>\r\n<body>\r\n<h1>\r\n<!--tag1-->\r\n<!--/tag1-->\r\n</h1>\r\n<p>\r\n<!--tag0-->\r\n"
    "<!--/tag0-->\r\n<!--tag2-->\r\n<!--/tag2-->\r\n<!--tag3-->\r\n<!--/tag3-->\r\n</p>\r\n"
    "<p>\r\n<!--tag4-->\r\n<!--/tag4-->\r\n</p>\r\n<p>\r\n<!--tag5-->\r\n<!--/tag5-->\r\n"
    "</p>\r\n</body>\r\n</html>\r\n";

inline SpreadsheetExport spreadsheetExport(int rows, bool windows1252) {
    // Text is written in UTF-8 here; a Windows-1252 export turns each accented letter (and the
    // euro sign) into its one byte.
    auto encode = [&](std::string text) {
        if (!windows1252) {
            return text;
        }
        static const std::vector<std::pair<std::string, std::string>> bytes = {
            {"é", "\xE9"}, {"è", "\xE8"}, {"ê", "\xEA"}, {"à", "\xE0"}, {"€", "\x80"}};
        for (const auto& [utf8, single] : bytes) {
            for (size_t at = text.find(utf8); at != std::string::npos; at = text.find(utf8, at)) {
                text.replace(at, utf8.size(), single);
            }
        }
        return text;
    };
    const std::vector<std::string> categories = {"Chaises", "Tables", "Rangements", "Séjour",
                                                 "Luminaires"};
    const int duplicate = rows * 4 / 5;
    const int refused = rows * 2 / 5 + 2;
    const int empty = rows * 2 / 3;
    const int shortRow = rows / 7 + 3;
    const int blankAfter = rows / 5;
    const int separatorsAfter = rows / 2;

    SpreadsheetExport out;
    uint64_t line = 0;
    auto emit = [&](const std::string& text) {
        out.bytes += encode(text) + "\r\n";
        ++line;
        bool accented = false;
        for (char c : text) {
            accented = accented || static_cast<unsigned char>(c) >= 0x80;
        }
        if (windows1252 && accented) {
            out.lines["not UTF-8"].push_back(line);
        }
    };
    if (!windows1252) {
        out.bytes += "\xEF\xBB\xBF";
    }
    emit("Référence;Désignation;Catégorie;Prix;Description;Matière;");
    out.lines["header"].push_back(line);
    for (int r = 1; r <= rows; ++r) {
        char ref[16];
        std::snprintf(ref, sizeof ref, "P-%04d", r == duplicate ? 10 : r);
        std::string reference = r == refused ? "A/B-12" : (r == empty ? "" : ref);
        std::string description = "Finition naturelle";
        bool quoted = false;
        if (r % 50 == 0) {
            description = "\"Chêne massif; finition huilée\"";
            quoted = true;
        } else if (r % 97 == 0) {
            description = "\"Pied \"\"tulipe\"\"\"";
            quoted = true;
        }
        std::string title = "Modèle " + std::to_string(r);
        if (r == shortRow) {
            emit(reference + ";" + title + ";" + categories[r % 5]);
            out.lines["short"].push_back(line);
            continue;
        }
        emit(reference + ";" + title + ";" + categories[r % 5] + ";" +
             std::to_string(80 + r % 300) + ",00 €;" + description + ";" +
             (r % 2 ? "Chêne" : "Noyer") + ";");
        if (quoted) {
            out.lines["quoted"].push_back(line);
        }
        if (r == 10) {
            out.duplicatedLine = line;
        }
        if (r == duplicate) {
            out.lines["duplicate"].push_back(line);
        }
        if (r == refused) {
            out.lines["refused"].push_back(line);
        }
        if (r == empty) {
            out.lines["hidden"].push_back(line);
        }
        if (r == blankAfter) {
            emit("");
            out.lines["blank"].push_back(line);
        }
        if (r == separatorsAfter) {
            emit(";;;;;;");
            out.lines["blank"].push_back(line);
        }
    }
    emit(";;;;;;");  // the row after the last one, as some exports leave it
    out.lines["blank"].push_back(line);
    return out;
}

}  // namespace pw::test
