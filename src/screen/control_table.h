// The register window's controls, each named once. The table gives the
// `Control` enumerators (so a misspelt name does not compile), the name text,
// the indexes of each array, and what the window needs to build and place a
// control that is not Qt's business: its kind, whether it sits in the receipt
// area, how it aligns its text. Rows run bottom of the stack first: a control
// listed later is drawn over an earlier one where they overlap.
#pragma once
#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <iterator>
#include <string>
#include <string_view>

namespace tarvo {

enum class ControlKind : std::uint8_t {
    Form,           // the window itself
    Button,         // push button, caption
    Edit,           // one-line edit box, text
    MultiLineEdit,  // multi-line edit box, text
    Label,          // caption
    Cell,           // read-only cell of the grid or totals panel: text (or caption)
    Line,           // separator line
};

enum class ControlShape : std::uint8_t {
    Single,    // index 0: "txtDEA"
    Array,     // one control per index: "mDept_5", "Line_Total_0"
    Numbered,  // single controls numbered from 1, addressed by index: "mNumeric12" is {mNumeric, 12}
};

enum class ControlArea : std::uint8_t { Window, Receipt };
enum class ControlAlign : std::uint8_t { Left, Centre, Right };

// Columns: name, kind, shape, first and last index, area, alignment.
// clang-format off
#define TARVO_REGISTER_CONTROLS(X)                                                                            \
    X(frmCashMain,       Form,          Single,   0, 0,  Window,  Left)                                       \
    /* ---- the window ---- */                                                                                \
    X(txtCIA,            Edit,          Single,   0, 0,  Window,  Left)    /* the message and prompt line */  \
    X(txtDEA,            Edit,          Single,   0, 0,  Window,  Left)    /* the entry box */                \
    X(Txt_Mode,          Edit,          Single,   0, 0,  Window,  Centre)                                     \
    X(BarCode,           Edit,          Single,   0, 0,  Window,  Left)                                       \
    X(mNumeric,          Button,        Numbered, 1, 12, Window,  Centre)  /* the keypad, mNumeric1..12 */    \
    X(mTotalRegister,    Button,        Single,   0, 0,  Window,  Centre)                                     \
    X(BPayment,          Button,        Single,   0, 0,  Window,  Centre)                                     \
    X(BSys,              Button,        Array,    1, 6,  Window,  Centre)                                     \
    X(BDep,              Button,        Array,    1, 8,  Window,  Centre)                                     \
    X(mDept,             Button,        Array,    1, 24, Window,  Centre)  /* the soft keys */                \
    X(BOp,               Button,        Array,    1, 8,  Window,  Centre)                                     \
    X(BReg,              Button,        Array,    1, 4,  Window,  Centre)                                     \
    /* ---- the receipt area: the grid ---- */                                                                \
    X(Title_Number,      Label,         Single,   0, 0,  Receipt, Centre)                                     \
    X(Title_Description, Label,         Single,   0, 0,  Receipt, Left)                                       \
    X(Title_Tax,         Label,         Single,   0, 0,  Receipt, Centre)                                     \
    X(Title_Quantity,    Label,         Single,   0, 0,  Receipt, Right)                                      \
    X(Title_Price,       Label,         Single,   0, 0,  Receipt, Right)                                      \
    X(Title_Extension,   Label,         Single,   0, 0,  Receipt, Right)                                      \
    X(Rt_Number,         Cell,          Array,    1, 7,  Receipt, Centre)                                     \
    X(Rt_Description,    Cell,          Array,    1, 7,  Receipt, Left)                                       \
    X(Rt_Tax,            Cell,          Array,    1, 7,  Receipt, Centre)                                     \
    X(Rt_Quantity,       Cell,          Array,    1, 7,  Receipt, Right)                                      \
    X(Rt_Price,          Cell,          Array,    1, 7,  Receipt, Right)                                      \
    X(Rt_Extension,      Cell,          Array,    1, 7,  Receipt, Right)                                      \
    X(RT_Down,           Button,        Single,   0, 0,  Receipt, Centre)                                     \
    X(Rt_Up,             Button,        Single,   0, 0,  Receipt, Centre)                                     \
    X(Title_Total,       Label,         Single,   0, 0,  Receipt, Centre)  /* the total box covers its end */ \
    X(Rt_Total,          Cell,          Single,   0, 0,  Receipt, Right)                                      \
    X(Line_Total,        Line,          Array,    0, 1,  Receipt, Left)                                       \
    /* ---- the totals panel ---- */                                                                          \
    X(Tr_Title,          Cell,          Array,    1, 10, Receipt, Right)                                      \
    X(Tr_Amount,         Cell,          Array,    1, 11, Receipt, Right)                                      \
    X(Lbl_BalanceDue,    Label,         Single,   0, 0,  Receipt, Left)                                       \
    /* ---- the other panels, over the grid ---- */                                                           \
    X(Lbl_Phys_Code,     Label,         Single,   0, 0,  Receipt, Left)                                       \
    X(Lbl_Phys_Desc,     Label,         Single,   0, 0,  Receipt, Left)                                       \
    X(Lbl_Phys_Quantity, Label,         Single,   0, 0,  Receipt, Left)                                       \
    X(Greeting,          Label,         Single,   0, 0,  Receipt, Centre)                                     \
    X(Txt_All,           MultiLineEdit, Single,   0, 0,  Receipt, Left)    /* the full text panel */          \
    X(Txt_Printer,       MultiLineEdit, Single,   0, 0,  Receipt, Left)    /* the on-screen printout */       \
    X(Txt_Message,       Edit,          Single,   0, 0,  Receipt, Centre)  /* the timed message panel */
// clang-format on

enum class Control : std::uint8_t {
    None,  // no control (no focus yet)
#define TARVO_CONTROL_ENUMERATOR(name, ...) name,
    TARVO_REGISTER_CONTROLS(TARVO_CONTROL_ENUMERATOR)
#undef TARVO_CONTROL_ENUMERATOR
};

struct ControlRow {
    Control control;
    std::string_view name;
    ControlKind kind;
    ControlShape shape;
    int first, last;  // the indexes that exist
    ControlArea area;
    ControlAlign align;
};

inline constexpr ControlRow kRegisterControls[] = {
#define TARVO_CONTROL_ROW(name, kind, shape, first, last, area, align) \
    {Control::name, #name, ControlKind::kind, ControlShape::shape, first, last, ControlArea::area, ControlAlign::align},
    TARVO_REGISTER_CONTROLS(TARVO_CONTROL_ROW)
#undef TARVO_CONTROL_ROW
};

inline constexpr std::size_t kControlCount = std::size(kRegisterControls);

// The row of a control; Control::None has none.
constexpr const ControlRow* FindControlRow(Control c) {
    const auto k = static_cast<std::size_t>(c);
    return k >= 1 && k <= kControlCount ? &kRegisterControls[k - 1] : nullptr;
}

// Rows in enumerator order (FindControlRow counts on it); a single control
// has index 0 only, an array a range.
static_assert([] {
    for (std::size_t k = 0; k < kControlCount; ++k) {
        const ControlRow& row = kRegisterControls[k];
        if (static_cast<std::size_t>(row.control) != k + 1) return false;
        if (row.shape == ControlShape::Single ? (row.first != 0 || row.last != 0)
                                              : (row.first < 0 || row.last <= row.first))
            return false;
    }
    return true;
}());

// "mDept", "txtDEA"; "" for Control::None.
constexpr std::string_view ControlName(Control c) {
    const ControlRow* row = FindControlRow(c);
    return row ? row->name : std::string_view();
}

// A control of the window by name and index: {Control::mDept, 5}.
struct ControlId {
    Control name = Control::None;
    int index = 0;  // 0 for a single control
    auto operator<=>(const ControlId&) const = default;
};

// Whether the window has this control: a name of the table, an index of its range.
constexpr bool IsControl(const ControlId& id) {
    const ControlRow* row = FindControlRow(id.name);
    return row && id.index >= row->first && id.index <= row->last;
}

// Calls f(ControlId) for every control of the table, in its order, each
// element of an array by index.
template <class F>
constexpr void ForEachControl(F&& f) {
    for (const ControlRow& row : kRegisterControls)
        for (int i = row.first; i <= row.last; ++i) f(ControlId{row.control, i});
}

// The control as the window names its widget: "mDept_5", "Line_Total_0",
// "mNumeric12", "txtDEA".
std::string ControlText(const ControlId& id);

// For test messages and debugging: the name, and the id as ControlText.
std::ostream& operator<<(std::ostream& out, Control c);
std::ostream& operator<<(std::ostream& out, const ControlId& id);

}  // namespace tarvo
