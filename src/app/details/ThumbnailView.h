#pragma once

#include <QPixmap>
#include <QWidget>

namespace app {

// A package's picture scaled to fit (its aspect ratio kept), or a line of text in its place that
// says why there is none.
class ThumbnailView : public QWidget
{
    Q_OBJECT

public:
    explicit ThumbnailView(QWidget* parent = nullptr);

    void setPicture(const QPixmap& picture);
    void setText(const QString& text);

    [[nodiscard]] const QPixmap& picture() const { return m_picture; }

    [[nodiscard]] const QString& text() const { return m_text; }

    [[nodiscard]] QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap m_picture;
    QString m_text;
};

} // namespace app
