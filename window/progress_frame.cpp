#include "window/progress_frame.h"

#include <QLinearGradient>
#include <QPainter>
#include <QStyleOptionGroupBox>
#include <QStylePainter>
#include <algorithm>

namespace pw {

namespace {

// The bars' scale: 40 twips per percent, a twip being 1/1440 inch.
constexpr double kTwipsPerPercent = 40.0;
constexpr double kTwipsPerInch = 1440.0;
// The bar's outline and the gap between the outline and the fill, on each side.
constexpr int kBarBorder = 2;

}  // namespace

BarPicture::BarPicture(QWidget* parent) : QWidget(parent) {
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void BarPicture::setPercent(int percent) {
    m_percent = std::clamp(percent, 0, 100);
}

int BarPicture::fillWidth(int percent) const {
    return static_cast<int>(percent * kTwipsPerPercent * logicalDpiX() / kTwipsPerInch + 0.5);
}

QSize BarPicture::sizeHint() const {
    return QSize(fillWidth(100) + 2 * kBarBorder,
                 std::max(16, fontMetrics().height() + 2 * kBarBorder));
}

QSize BarPicture::minimumSizeHint() const {
    return sizeHint();
}

void BarPicture::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::Mid));
    painter.setBrush(palette().color(QPalette::Base));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    if (m_percent > 0) {
        QRect fill = rect().adjusted(kBarBorder, kBarBorder, -kBarBorder, -kBarBorder);
        fill.setWidth(fillWidth(m_percent));
        // Light enough for the counter's text to read on it.
        QLinearGradient gradient(fill.topLeft(), fill.bottomLeft());
        gradient.setColorAt(0, QColor(0xc4, 0xdf, 0xf8));
        gradient.setColorAt(1, QColor(0x86, 0xb8, 0xec));
        painter.fillRect(fill, gradient);
    }
}

StatusFrame::StatusFrame(QWidget* parent) : QGroupBox(parent) {
    // The group box measured its margins while it was being built, before this frame kept the
    // caption's room: a change of caption measures them again.
    setTitle(QStringLiteral(" "));
    setTitle(QString());
}

void StatusFrame::setPossibleTitles(const QStringList& titles) {
    m_titles = titles;
    updateGeometry();
}

QSize StatusFrame::minimumSizeHint() const {
    QSize size = QGroupBox::minimumSizeHint();
    // As the group box measures its own title.
    for (const QString& title : m_titles) {
        QStyleOptionGroupBox option;
        initStyleOption(&option);
        option.text = title;
        QSize text(fontMetrics().horizontalAdvance(title + QLatin1Char(' ')),
                   fontMetrics().height());
        size = size.expandedTo(style()->sizeFromContents(QStyle::CT_GroupBox, &option, text, this));
    }
    return size;
}

QSize StatusFrame::sizeHint() const {
    return QGroupBox::sizeHint().expandedTo(minimumSizeHint());
}

void StatusFrame::initStyleOption(QStyleOptionGroupBox* option) const {
    QGroupBox::initStyleOption(option);
    // An empty caption would give its room back to the contents, which would move up.
    if (option->text.isEmpty()) {
        option->text = QStringLiteral(" ");
    }
}

void StatusFrame::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    QStyleOptionGroupBox option;
    initStyleOption(&option);
    // Some styles look at the widget's own caption to place the frame's line; drawn from the
    // options alone, the line stays where a caption leaves it.
    style()->drawComplexControl(QStyle::CC_GroupBox, &option, &painter, nullptr);
}

}  // namespace pw
