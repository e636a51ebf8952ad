#pragma once

#include <QLabel>

//! A one-line label that, when its room is narrower than its text, shortens the text with
//! "…" instead of cutting it off, and then shows the whole text as its tooltip. The status
//! bar's panels use it so that a long path keeps its file name and a long message its start.
class TElidedLabel : public QLabel {
    Q_OBJECT

public:
    explicit TElidedLabel(Qt::TextElideMode mode, QWidget* parent = nullptr);

    //! Sets the whole text; text() returns it, ShownText() what fits. A `tip` is the
    //! tooltip whether or not the text is shortened; without one the tooltip is the whole
    //! text while it is shortened.
    void SetFullText(const QString& text, const QString& tip = QString());
    //! The text as drawn in the label's present width.
    QString ShownText() const;

    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void UpdateTip();

    Qt::TextElideMode mode_;
    QString tip_;
};
