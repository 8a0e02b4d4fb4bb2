#include "window/list_widgets.h"

#include <algorithm>

#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QStorageInfo>

namespace pw {

namespace {

// Turns Escape into its character code for the `_KeyPress` handlers; other keys keep Qt's.
int keyCode(const QKeyEvent* event) {
    return event->key() == Qt::Key_Escape ? kEscapeKey : event->key();
}

bool isActivationKey(const QKeyEvent* event) {
    return event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
}

constexpr int kPathRole = Qt::UserRole + 1;

}  // namespace

QString withTrailingSeparator(const QString& directory) {
    if (directory.endsWith(QLatin1Char('/'))) {
        return directory;
    }
    return directory + QLatin1Char('/');
}

void FieldEdit::mousePressEvent(QMouseEvent* event) {
    QLineEdit::mousePressEvent(event);
    emit mousePressed();
}

void FieldEdit::mouseDoubleClickEvent(QMouseEvent* event) {
    QLineEdit::mouseDoubleClickEvent(event);
    emit doubleClicked();
}

DriveList::DriveList(QWidget* parent) : QComboBox(parent) {
    refresh();
}

void DriveList::refresh() {
    QString current = drive();
    QSignalBlocker blocker(this);
    clear();
    addItem(QStringLiteral("/"), QStringLiteral("/"));
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        QString root = withTrailingSeparator(volume.rootPath());
        if (root == QLatin1String("/") || !volume.isValid() || !volume.isReady()) {
            continue;
        }
        QString name = volume.displayName();
        QString shown = root;
        if (!name.isEmpty() && withTrailingSeparator(name) != root) {
            shown += QStringLiteral("  [%1]").arg(name);
        }
        addItem(shown, root);
    }
    int index = findData(current);
    setCurrentIndex(index < 0 ? 0 : index);
}

QString DriveList::drive() const {
    QString root = currentData().toString();
    return root.isEmpty() ? QStringLiteral("/") : root;
}

void DriveList::showVolumeOf(const QString& path) {
    // The deepest mount point that holds the path.
    int best = 0;
    int bestLength = 0;
    QString directory = withTrailingSeparator(path);
    for (int i = 0; i < count(); ++i) {
        QString root = itemData(i).toString();
        if (directory.startsWith(root) && root.size() > bestLength) {
            best = i;
            bestLength = root.size();
        }
    }
    QSignalBlocker blocker(this);
    setCurrentIndex(best);
}

void DriveList::keyPressEvent(QKeyEvent* event) {
    emit keyPressed(keyCode(event));
    if (event->key() != Qt::Key_Escape) {
        QComboBox::keyPressEvent(event);
    }
}

DirList::DirList(QWidget* parent) : QListWidget(parent) {
    connect(this, &QListWidget::itemActivated, this,
            [this](QListWidgetItem* item) { setPath(item->data(kPathRole).toString()); });
    list(m_path);
}

void DirList::setPath(const QString& path) {
    QString before = m_path;
    if (list(path) && m_path != before) {
        emit pathChanged();
    }
}

void DirList::setPathSilently(const QString& path) {
    list(path);
}

bool DirList::list(const QString& path) {
    QDir directory(path);
    if (path.isEmpty() || !directory.exists() || !directory.isReadable()) {
        return false;
    }
    QString clean = QDir::cleanPath(directory.absolutePath());
    QStringList children =
        directory.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);

    clear();
    // The ancestors from the root down, each one step further in, then the subdirectories.
    QStringList parts = clean.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    QString walked = QStringLiteral("/");
    QString indent;
    auto addEntry = [this](const QString& text, const QString& target, bool current) {
        auto* item = new QListWidgetItem(text, this);
        item->setData(kPathRole, target);
        item->setIcon(
            style()->standardIcon(current ? QStyle::SP_DirOpenIcon : QStyle::SP_DirClosedIcon));
        if (current) {
            QFont font = item->font();
            font.setBold(true);
            item->setFont(font);
        }
        return item;
    };
    QListWidgetItem* currentItem = addEntry(QStringLiteral("/"), walked, parts.isEmpty());
    for (int i = 0; i < parts.size(); ++i) {
        indent += QStringLiteral("   ");
        walked = walked == QLatin1String("/") ? walked + parts[i] : walked + '/' + parts[i];
        currentItem = addEntry(indent + parts[i], walked, i + 1 == parts.size());
    }
    indent += QStringLiteral("   ");
    for (const QString& child : children) {
        QString target = clean == QLatin1String("/") ? clean + child : clean + '/' + child;
        addEntry(indent + child, target, false);
    }
    setCurrentItem(currentItem);
    m_path = clean;
    return true;
}

void DirList::keyPressEvent(QKeyEvent* event) {
    emit keyPressed(keyCode(event));
    if (event->key() == Qt::Key_Escape) {
        return;
    }
    if (isActivationKey(event) && currentItem() != nullptr) {
        setPath(currentItem()->data(kPathRole).toString());
        return;
    }
    QListWidget::keyPressEvent(event);
}

FileList::FileList(QWidget* parent) : QListWidget(parent) {
    connect(this, &QListWidget::itemDoubleClicked, this, [this] { emit fileActivated(); });
    refresh();
}

void FileList::setPath(const QString& path) {
    m_path = path;
    refresh();
}

void FileList::setPattern(const QString& pattern) {
    m_pattern = pattern;
    refresh();
}

QString FileList::fileName() const {
    QListWidgetItem* item = currentItem();
    return (item != nullptr && item->isSelected()) ? item->text() : QString();
}

void FileList::selectFile(const QString& name) {
    QList<QListWidgetItem*> found = findItems(name, Qt::MatchExactly);
    if (!found.isEmpty()) {
        setCurrentItem(found.front());
        scrollToItem(found.front());
    }
}

void FileList::refresh() {
    clear();
    QDir directory(m_path);
    QStringList names =
        directory.entryList(QStringList{m_pattern}, QDir::Files, QDir::Name | QDir::IgnoreCase);
    for (const QString& name : names) {
        new QListWidgetItem(style()->standardIcon(QStyle::SP_FileIcon), name, this);
    }
}

void FileList::keyPressEvent(QKeyEvent* event) {
    emit keyPressed(keyCode(event));
    if (event->key() == Qt::Key_Escape) {
        return;
    }
    if (isActivationKey(event) && currentItem() != nullptr) {
        currentItem()->setSelected(true);
        emit fileActivated();
        return;
    }
    QListWidget::keyPressEvent(event);
}

void ClickLabel::mouseReleaseEvent(QMouseEvent* event) {
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        emit clicked();
    }
}

ElidedLabel::ElidedLabel(QWidget* parent) : QLabel(parent) {
    setWordWrap(false);
    // The label takes the width its row gives it and asks for none.
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
}

void ElidedLabel::setFullText(const QString& text) {
    m_fullText = text;
    setToolTip(text);
    showFitting();
}

void ElidedLabel::resizeEvent(QResizeEvent* event) {
    QLabel::resizeEvent(event);
    showFitting();
}

void ElidedLabel::changeEvent(QEvent* event) {
    QLabel::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        showFitting();
    }
}

void ElidedLabel::showFitting() {
    const QString shown =
        fontMetrics().elidedText(m_fullText, Qt::ElideMiddle, std::max(0, contentsRect().width()));
    if (shown != text()) {
        setText(shown);
    }
}

}  // namespace pw
