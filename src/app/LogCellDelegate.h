#pragma once
// Draws a cell from a cache of laid-out texts. The default delegate lays every cell's text
// out again at each paint, most of a repaint's cost; here a row's texts are laid out once
// and reused while the row stays on screen (each logged row is repainted as it scrolls by).
#include <QFont>
#include <QHash>
#include <QStaticText>
#include <QStyledItemDelegate>

namespace varnex {

class LogCellDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    // Blank space left and right of a cell's text.
    static constexpr int kTextMargin = 3;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    const QStaticText& laidOut(const QString& text, const QFont& font) const;

    mutable QHash<QString, QStaticText> cache_;
    mutable QFont font_;
};

} // namespace varnex
