#pragma once

#include <QGroupBox>
#include <QStringList>
#include <QWidget>

namespace pw {

// A progress bar at a fixed scale: its fill is 40 twips long per percent, so a full bar is
// 4000 twips (about 267 pixels at 96 dpi) whatever the window's size or language. The counter
// that goes with it is laid over the bar by the window.
class BarPicture : public QWidget {
    Q_OBJECT
  public:
    explicit BarPicture(QWidget* parent = nullptr);

    int percent() const { return m_percent; }
    // Stores the fill without repainting; the percentage is kept within 0 to 100.
    void setPercent(int percent);
    // The fill's length in pixels at `percent`, at the screen's logical resolution.
    int fillWidth(int percent) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    int m_percent = 0;
};

// The progress frame: a group box whose caption is the running job's status. The caption's
// room is kept while it is empty, and the frame is always wide enough for each of the captions
// it may show, so nothing in the window moves when a run sets or empties the status.
class StatusFrame : public QGroupBox {
    Q_OBJECT
  public:
    explicit StatusFrame(QWidget* parent = nullptr);

    // The captions the frame must be able to show whole.
    void setPossibleTitles(const QStringList& titles);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

  protected:
    void initStyleOption(QStyleOptionGroupBox* option) const override;
    void paintEvent(QPaintEvent* event) override;

  private:
    QStringList m_titles;
};

}  // namespace pw
