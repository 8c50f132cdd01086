#pragma once

#include <QByteArray>
#include <QLabel>

class ProductEntity;

// The product's icon in the detail form. Files and images dropped on it ask for a new icon; the
// window hands them to the controller, which stores the icon.
class ProductIconWell : public QLabel
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ProductIconWell)

public:
    static constexpr int DisplaySize = 64;

    explicit ProductIconWell(QWidget* parent = nullptr);

    // Shows the product's icon (none for no product).
    void showIcon(const ProductEntity* product);
    // True while a drag it would take hovers over it: a frame in the highlight colour shows that.
    bool isHighlighted() const { return m_highlight; }
    static constexpr int HighlightWidth = 5;

signals:
    void fileDropped(const QString& path);
    void imageDropped(const QByteArray& imageBytes);

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void setHighlight(bool on);

    bool m_highlight = false;
};
