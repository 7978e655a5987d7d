#include "ui/printout_panel.h"

#include <QFontMetricsF>
#include <QTextBlock>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>
#include <cmath>

#include "ui/qt_text.h"
#include "ui/text_fit.h"

namespace tarvo::ui {

namespace {

QString LineBreaks(QString text) {
    text.replace("\r\n", "\n");
    text.replace('\r', '\n');
    return text;
}

}  // namespace

PrintoutPanel::PrintoutPanel(QWidget* parent) : QPlainTextEdit(parent) {}

void PrintoutPanel::ShowText(const std::string& text, const std::vector<TextSpan>& wide) {
    // A text that grew by whole pieces (no line end cut in two, the pieces
    // already double width still there) is added to; anything else is shown
    // anew.
    const bool grew = text.size() >= shown_.size() && wide.size() >= spans_ &&
                      (shown_.empty() || shown_.back() != '\r') && text.compare(0, shown_.size(), shown_) == 0;
    if (!grew) {
        ShowAll(text, wide);
        return;
    }
    if (text.size() > shown_.size()) {
        const QString added = LineBreaks(FromCore(std::string_view(text).substr(shown_.size())));
        QTextCursor end(document());
        end.movePosition(QTextCursor::End);
        end.insertText(added, QTextCharFormat());
        CountColumns(added);
        shown_.append(text, shown_.size(), std::string::npos);
    }
    for (std::size_t i = spans_; i < wide.size(); ++i) ShowWide(wide[i]);
    spans_ = wide.size();
}

void PrintoutPanel::ShowAll(const std::string& text, const std::vector<TextSpan>& wide) {
    const QString all = LineBreaks(FromCore(text));
    setPlainText(all);
    shown_ = text;
    widest_ = lastLineColumns_ = lastLineWide_ = 0;
    CountColumns(all);
    spans_ = 0;
    for (const TextSpan& span : wide) ShowWide(span);
    spans_ = wide.size();
}

void PrintoutPanel::CountColumns(const QString& added) {
    for (QChar c : added) {
        if (c == '\n') {
            lastLineColumns_ = lastLineWide_ = 0;
            continue;
        }
        ++lastLineColumns_;
        widest_ = std::max(widest_, lastLineColumns_ + lastLineWide_);
    }
}

void PrintoutPanel::ShowWide(const TextSpan& span) {
    const QTextBlock block = document()->findBlockByNumber(span.line);
    if (!block.isValid()) return;
    const int lineLength = block.length() - 1;  // without the block's end
    const int from = std::clamp(span.column, 0, lineLength);
    const int to = std::clamp(span.column + span.length, from, lineLength);
    if (to == from) return;
    QTextCursor c(block);
    c.setPosition(block.position() + from);
    c.setPosition(block.position() + to, QTextCursor::KeepAnchor);
    QTextCharFormat f;
    f.setFontStretch(200);
    c.mergeCharFormat(f);
    // A double-width character takes two columns.
    if (block == document()->lastBlock()) {
        lastLineWide_ += to - from;
        widest_ = std::max(widest_, lastLineColumns_ + lastLineWide_);
    } else {
        widest_ = std::max(widest_, lineLength + (to - from));
    }
}

QFont PrintoutPanel::FittingFont(const QFont& designed) {
    const std::optional<TextRoom> room = TextRoomOf(this);
    const int width = room ? room->rect.width() : 0;
    if (designed == fitDesigned_ && designed.pointSizeF() == fitDesigned_.pointSizeF() && width == fitWidth_ &&
        widest_ == fitWidest_)
        return fitted_;
    QFont f = designed;
    if (designed.pointSizeF() > 0 && widest_ > 0 && width > 0) {
        bool fits = false;
        for (double size = designed.pointSizeF(); size > kSmallestFitPoints && !fits; size -= 0.5) {
            f.setPointSizeF(size);
            fits = QFontMetricsF(f).horizontalAdvance(QLatin1Char('0')) * widest_ <= width;
        }
        if (!fits) f.setPointSizeF(std::min(designed.pointSizeF(), kSmallestFitPoints));
    }
    fitDesigned_ = designed;
    fitWidth_ = width;
    fitWidest_ = widest_;
    fitted_ = f;
    return f;
}

}  // namespace tarvo::ui
