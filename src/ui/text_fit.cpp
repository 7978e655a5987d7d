#include "ui/text_fit.h"

#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionFrame>
#include <QTextDocument>
#include <algorithm>
#include <cmath>

namespace tarvo::ui {

namespace {

// QLineEdit's own margins around its text, inside the frame.
constexpr int kLineEditHorizontalMargin = 2;
constexpr int kLineEditVerticalMargin = 1;

QRect LineEditTextRect(const QLineEdit* e) {
    QStyleOptionFrame opt;
    opt.initFrom(e);
    opt.rect = e->rect();
    opt.lineWidth = e->hasFrame() ? e->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &opt, e) : 0;
    opt.midLineWidth = 0;
    opt.state |= QStyle::State_Sunken;
    QRect r = e->style()->subElementRect(QStyle::SE_LineEditContents, &opt, e);
    r = r.marginsRemoved(e->textMargins());
    return r.adjusted(kLineEditHorizontalMargin, kLineEditVerticalMargin, -kLineEditHorizontalMargin,
                      -kLineEditVerticalMargin);
}

}  // namespace

QString ShownCaption(const QString& caption) {
    QStringList lines = caption.split('\n');
    for (QString& line : lines)
        while (!line.isEmpty() && line.back().isSpace()) line.chop(1);
    while (!lines.isEmpty() && lines.back().isEmpty()) lines.removeLast();
    while (!lines.isEmpty() && lines.front().isEmpty()) lines.removeFirst();
    return lines.join('\n');
}

QRect KeyCaptionRect(const QPushButton* key) {
    QStyleOptionButton opt;
    opt.initFrom(key);
    opt.rect = key->rect();
    opt.features = QStyleOptionButton::None;
    return key->style()->subElementRect(QStyle::SE_PushButtonContents, &opt, key).adjusted(2, 1, -2, -1);
}

std::optional<TextRoom> TextRoomOf(const QWidget* control) {
    if (auto* key = qobject_cast<const QPushButton*>(control)) return TextRoom{KeyCaptionRect(key), true, false};
    if (auto* label = qobject_cast<const QLabel*>(control)) {
        const int m = label->margin();
        return TextRoom{label->contentsRect().adjusted(m, m, -m, -m), label->wordWrap(), false};
    }
    if (auto* edit = qobject_cast<const QLineEdit*>(control)) return TextRoom{LineEditTextRect(edit), false, false};
    if (auto* box = qobject_cast<const QPlainTextEdit*>(control)) {
        const int margin = static_cast<int>(std::ceil(box->document()->documentMargin()));
        return TextRoom{box->viewport()->rect().adjusted(margin, margin, -margin, -margin), false, true};
    }
    return std::nullopt;
}

QString TextOf(const QWidget* control) {
    if (auto* key = qobject_cast<const QPushButton*>(control)) return ShownCaption(key->text());
    if (auto* label = qobject_cast<const QLabel*>(control)) return label->text();
    if (auto* edit = qobject_cast<const QLineEdit*>(control)) return edit->displayText();
    if (auto* box = qobject_cast<const QPlainTextEdit*>(control)) return box->toPlainText();
    return QString();
}

bool TextFits(const QFont& font, const QString& text, const TextRoom& room) {
    if (text.isEmpty()) return true;
    const QFontMetrics fm(font);
    if (room.wraps) {
        const QRect needed = fm.boundingRect(room.rect, Qt::AlignCenter | Qt::TextWordWrap, text);
        return needed.width() <= room.rect.width() && needed.height() <= room.rect.height();
    }
    const QStringList lines = text.split('\n');
    int widest = 0;
    for (const QString& line : lines) widest = std::max(widest, fm.horizontalAdvance(line));
    if (widest > room.rect.width()) return false;
    return room.scrolls || fm.height() + fm.lineSpacing() * (static_cast<int>(lines.size()) - 1) <= room.rect.height();
}

QFont FittingFont(const QFont& designed, const QString& text, const TextRoom& room) {
    QFont f = designed;
    if (designed.pointSizeF() <= 0) return f;
    for (double size = designed.pointSizeF(); size > kSmallestFitPoints; size -= 0.5) {
        f.setPointSizeF(size);
        if (TextFits(f, text, room)) return f;
    }
    f.setPointSizeF(std::min(designed.pointSizeF(), kSmallestFitPoints));
    return f;
}

DesignScale::DesignScale(QSize window, int designWidth, int designHeight)
    : scale(std::max(0.5, std::min(static_cast<double>(window.width()) / designWidth,
                                   static_cast<double>(window.height()) / designHeight))),
      offset(static_cast<int>(std::lround((window.width() - designWidth * scale) / 2)),
             static_cast<int>(std::lround((window.height() - designHeight * scale) / 2))) {}

QRect DesignScale::Place(const QRect& r) const {
    auto scaled = [this](int v) { return static_cast<int>(std::lround(v * scale)); };
    return QRect(scaled(r.x()), scaled(r.y()), scaled(r.right() + 1) - scaled(r.x()),
                 scaled(r.bottom() + 1) - scaled(r.y()));
}

void FitScaled(QWidget* control, const QFont& designed, double scale) {
    const std::optional<TextRoom> room = TextRoomOf(control);
    QFont font = designed;
    if (font.pointSizeF() > 0) font.setPointSizeF(font.pointSizeF() * scale);
    control->setFont(room ? FittingFont(font, TextOf(control), *room) : font);
}

}  // namespace tarvo::ui
