#include "app/LogCellDelegate.h"

#include <QApplication>
#include <QPainter>

namespace varnex {
namespace {
constexpr int kMaxCachedTexts = 4096;
} // namespace

void LogCellDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    const bool selected = option.state & QStyle::State_Selected;
    const QPalette::ColorGroup group = !(option.state & QStyle::State_Enabled) ? QPalette::Disabled
        : (option.state & QStyle::State_Active)                                ? QPalette::Active
                                                                               : QPalette::Inactive;
    if (selected)
        painter->fillRect(option.rect, option.palette.brush(group, QPalette::Highlight));
    if (option.state & QStyle::State_HasFocus) {
        QStyleOptionFocusRect focus;
        focus.QStyleOption::operator=(option);
        focus.backgroundColor = option.palette.color(QPalette::Highlight);
        (option.widget ? option.widget->style() : QApplication::style())
            ->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, painter, option.widget);
    }
    const QString text = index.data(Qt::DisplayRole).toString();
    if (text.isEmpty())
        return;
    const QVariant alignment = index.data(Qt::TextAlignmentRole);
    const Qt::Alignment align = alignment.isValid() ? alignment.value<Qt::Alignment>()
                                                    : Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter);
    const QRect box = option.rect.adjusted(kTextMargin, 0, -kTextMargin, 0);
    painter->setPen(option.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text));
    painter->setFont(option.font);
    const QStaticText& laid = laidOut(text, option.font);
    const QSizeF size = laid.size();
    if (size.width() > box.width()) {
        // A column narrowed below its text: cut with an ellipsis as the default does.
        painter->save();
        painter->setClipRect(option.rect);
        painter->drawText(box, int(align) | Qt::TextSingleLine,
                          option.fontMetrics.elidedText(text, Qt::ElideRight, box.width()));
        painter->restore();
        return;
    }
    qreal x = box.left();
    if (align & Qt::AlignRight)
        x = box.right() + 1 - size.width();
    else if (align & Qt::AlignHCenter)
        x = box.left() + (box.width() - size.width()) / 2;
    const qreal y = box.top() + (box.height() - size.height()) / 2;
    painter->drawStaticText(QPointF(x, y), laid);
}

const QStaticText& LogCellDelegate::laidOut(const QString& text, const QFont& font) const
{
    if (font != font_ || cache_.size() >= kMaxCachedTexts) {
        cache_.clear();
        font_ = font;
    }
    auto it = cache_.find(text);
    if (it == cache_.end()) {
        QStaticText laid(text);
        laid.setTextFormat(Qt::PlainText);
        laid.setPerformanceHint(QStaticText::AggressiveCaching);
        laid.prepare(QTransform(), font);
        it = cache_.insert(text, laid);
    }
    return *it;
}

} // namespace varnex
