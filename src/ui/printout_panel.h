// Txt_Printer as the window draws it: the on-screen printout, in a fixed
// pitch, its titles double width as on paper. A printout grows a line at a
// time; each line is added to what is shown, so adding one costs the same
// however long the printout already is.
#pragma once
#include <QFont>
#include <QPlainTextEdit>
#include <string>
#include <vector>

#include "screen/screen_model.h"

namespace tarvo::ui {

class PrintoutPanel : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit PrintoutPanel(QWidget* parent = nullptr);

    // Shows the model's text (windows-1252, CR LF lines) and its double-width
    // pieces: only what was added since the last call when the text grew.
    void ShowText(const std::string& text, const std::vector<TextSpan>& wide);
    // The widest line in columns, a double-width character counting two.
    int WidestColumns() const { return widest_; }
    // `designed`, smaller when the widest line needs it to fit the width.
    QFont FittingFont(const QFont& designed);

private:
    void ShowAll(const std::string& text, const std::vector<TextSpan>& wide);
    // Counts the columns of `added` (the text just shown) into the widest line.
    void CountColumns(const QString& added);
    void ShowWide(const TextSpan& span);

    std::string shown_;  // the model's text as last shown
    std::size_t spans_ = 0;
    int widest_ = 0;
    int lastLineColumns_ = 0;
    int lastLineWide_ = 0;  // double-width characters of the last line
    // The last fit: for the same font, width and widest line it is kept.
    QFont fitDesigned_, fitted_;
    int fitWidth_ = -1, fitWidest_ = -1;
};

}  // namespace tarvo::ui
