#pragma once

#include <QPixmap>

namespace pw {

// The window's pictures, drawn at run time so that no image file has to ship with it.

// The French flag of the `francais` button.
QPixmap frenchFlag(int width, int height);
// The flag of the `anglais` button.
QPixmap englishFlag(int width, int height);
// The program's logo: a stack of pages with a tag mark.
QPixmap logoPicture(int size);
// The light bulb beside the field help.
QPixmap bulbPicture(int size);
// The decoration of the hyperlinks tab: two pages joined by a link.
QPixmap linksPicture(int size);
// The decoration of the index tab: an index page with its entries.
QPixmap indexPicture(int size);

}  // namespace pw
