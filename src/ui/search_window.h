// FrmSearch: the search form's window. A thin window over the core's
// SearchForm: a grid of eight columns (row 1 the headings), four scroll
// buttons drawn as arrows, Select and Exit. The core lays the grid out in
// twips (1 twip = 1/15 pixel at 96 dots per inch); the window draws it to
// fill its designed 1024 x 768 but for the row of buttons under it, and
// scales everything with its size. A text that does not fit its cell is
// drawn smaller (ui/text_fit).
#pragma once
#include <QFont>
#include <QHash>
#include <QLabel>
#include <QPushButton>
#include <QWidget>
#include <array>
#include <vector>

#include "forms/search_form.h"

namespace tarvo::ui {

class SearchWindow : public QWidget, public SearchView {
    Q_OBJECT
public:
    explicit SearchWindow(QWidget* parent = nullptr);

    void Search_SetCloseButton(bool enable) override;
    void Search_Layout(const SearchForm& form) override;
    void Search_Show(SearchForm& form) override;
    void Search_Update(const SearchForm& form) override;
    void Search_Hide() override;

    // The cell of `row` (1 headings, 2.. entries) and `column` (1-8); null
    // beyond the grid.
    QLabel* Cell(int row, int column) const;
    // Button1..Button4 (one forward, one back, page forward, page back),
    // Button8 (Select), Button9 (Exit); null for the others.
    QPushButton* Button(int n) const;
    // Every control that shows a text, for the checks that it fits.
    std::vector<QWidget*> TextControls() const;
    // Scale of the layout against the design.
    double Scale() const { return scale_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void Place();
    void Fit(QWidget* w);
    QPushButton* ScrollButton(int n, bool down, bool page);

    SearchForm* form_ = nullptr;
    int rows_ = 0;
    double scale_ = 1;
    // The grid as the core laid it out, in twips; cells_[row][column].
    std::vector<std::array<QLabel*, kSearchColumns + 1>> cells_;
    std::array<QPushButton*, 10> buttons_{};
    QHash<QWidget*, QRect> designedRect_;  // pixels at the design size
    QHash<QWidget*, QFont> designedFont_;  // points at the design size
};

}  // namespace tarvo::ui
