#pragma once

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QString>
#include <QWidget>

namespace pw {

// The character code a key press hands to the `_KeyPress` handlers: 27 for Escape.
inline constexpr int kEscapeKey = 27;

// A path or text field: reports double-clicks (`_DblClick`) and pressed mouse buttons
// (`_MouseDown`) besides its text changes (`_Change`, which also fire when the program sets
// a different text).
class FieldEdit : public QLineEdit {
    Q_OBJECT
  public:
    explicit FieldEdit(QWidget* parent = nullptr) : QLineEdit(parent) {}

  signals:
    void doubleClicked();
    void mousePressed();

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
};

// A drive list: the mounted volumes, the root "/" first. Its `_Change` is currentIndexChanged.
class DriveList : public QComboBox {
    Q_OBJECT
  public:
    explicit DriveList(QWidget* parent = nullptr);

    // Lists the mounted volumes again, keeping the current one when it is still mounted.
    void refresh();
    // The root of the chosen volume, ending with "/".
    QString drive() const;
    // Chooses the volume holding `path` without firing `_Change`.
    void showVolumeOf(const QString& path);

  signals:
    void keyPressed(int key);

  protected:
    void keyPressEvent(QKeyEvent* event) override;
};

// A directory list: the current directory's ancestors, the current directory, then its
// subdirectories (hidden ones left out). Activating an entry (double-click or Return) moves
// the list there, which fires pathChanged (`_Change`).
class DirList : public QListWidget {
    Q_OBJECT
  public:
    explicit DirList(QWidget* parent = nullptr);

    // The current directory, without a trailing "/" except for the root "/".
    QString path() const { return m_path; }
    // Moves to `path` (an existing directory) and lists it; fires pathChanged when it moved.
    // A directory that cannot be listed leaves the list where it was.
    void setPath(const QString& path);
    // Moves to `path` without firing pathChanged.
    void setPathSilently(const QString& path);

  signals:
    void pathChanged();
    void keyPressed(int key);

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    bool list(const QString& path);
    QString m_path = QStringLiteral("/");
};

// A file list: the plain files of one directory matching a pattern (hidden ones left out).
// A double-click on a file (or Return) is its `_DblClick`.
class FileList : public QListWidget {
    Q_OBJECT
  public:
    explicit FileList(QWidget* parent = nullptr);

    QString path() const { return m_path; }
    void setPath(const QString& path);
    // "*" for all files, or a pattern such as "*.htm" (letter case ignored).
    void setPattern(const QString& pattern);
    // The selected file's name, empty when none is selected.
    QString fileName() const;
    // Selects `name` when the list holds it.
    void selectFile(const QString& name);

  signals:
    void fileActivated();
    void keyPressed(int key);

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void refresh();
    QString m_path = QStringLiteral("/");
    QString m_pattern = QStringLiteral("*");
};

// A label that reports clicks, for the online-help link.
class ClickLabel : public QLabel {
    Q_OBJECT
  public:
    explicit ClickLabel(QWidget* parent = nullptr) : QLabel(parent) {}

  signals:
    void clicked();

  protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};

// A one-line label that never widens its window: a text longer than the label is shown
// shortened in the middle with an ellipsis, and the whole text is its tooltip.
class ElidedLabel : public QLabel {
    Q_OBJECT
  public:
    explicit ElidedLabel(QWidget* parent = nullptr);

    // The text as given, before any shortening.
    const QString& fullText() const { return m_fullText; }
    void setFullText(const QString& text);

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    void showFitting();
    QString m_fullText;
};

// The "/"-terminated form of a directory path: a root stays "/", any other path gets one "/".
QString withTrailingSeparator(const QString& directory);

}  // namespace pw
