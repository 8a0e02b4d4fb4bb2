#include "engine/validation.h"

#include <sys/stat.h>

namespace pw {

bool isExistingFile(const std::string& path) {
    struct stat info;
    return !path.empty() && ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool isExistingDirectory(const std::string& path) {
    struct stat info;
    return !path.empty() && ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

namespace {

struct Checker {
    std::optional<Wording> message;

    void empty(const std::string& text, Wording wording) {
        if (text.empty()) {
            message = wording;
        }
    }
    void file(const std::string& text, Wording ifEmpty, Wording ifMissing) {
        if (text.empty()) {
            message = ifEmpty;
        } else if (!isExistingFile(text)) {
            message = ifMissing;
        }
    }
    void directory(const std::string& text, Wording ifEmpty, Wording ifMissing) {
        if (text.empty()) {
            message = ifEmpty;
        } else if (!isExistingDirectory(text)) {
            message = ifMissing;
        }
    }
};

}  // namespace

std::optional<Wording> p_controle(const RunSettings& s) {
    using namespace messages;
    Checker check;
    switch (s.tab) {
        case Tab::Pages:
            check.file(s.source, kNoDataFile, kDataFileGone);
            check.file(s.fichiermodele, kNoModelFile, kModelFileGone);
            check.directory(s.destination, kNoDestination, kDestinationGone);
            break;
        case Tab::Hyperlinks:
            check.empty(s.sourcelien, kNoLinkTag);
            check.empty(s.Textelien, kNoTextTag);
            check.directory(s.hyperdir, kNoWorkingDirectory, kWorkingDirectoryGone);
            break;
        case Tab::Index:
            if (s.Option3) {
                check.empty(s.tagindex2, kNoCriterionTag);
                check.empty(s.Tagindex, kNoTextTag);
                check.directory(s.i10, kNoWorkingDirectory, kWorkingDirectoryGone);
                check.directory(s.i20, kNoDestination, kDestinationGone);
            } else if (s.Option4) {
                check.file(s.i30, kNoDataFile, kDataFileGone);
                check.file(s.i50, kNoModelFile, kModelFileGone);
                check.directory(s.i40, kNoDestination, kDestinationGone);
            }
            break;
    }
    return check.message;
}

}  // namespace pw
