#include "screen/screen_build.h"

#include <array>
#include <string>

#include "config/settings.h"
#include "config/special_operations.h"
#include "config/text_tables.h"
#include "data/data_state.h"
#include "screen/receipt_grid.h"
#include "screen/register_context.h"

namespace tarvo {

namespace {

constexpr const char* kTypeface = "Cambria";

constexpr ControlId Id(Control name, int index = 0) { return ControlId{name, index}; }

Font Typeface(double size, bool bold = false) { return Font{kTypeface, size, bold, false}; }

// The typeface on a control, its size and boldness kept.
void SetTypeface(ScreenModel& s, const ControlId& id) {
    Font f = s.State(id).font;
    f.name = kTypeface;
    s.SetFont(id, f);
}

// ---- fixed captions ---------------------------------------------------------------------

struct FixedCaption {
    Control name;
    int index;
    const char* englishPlain;
    const char* englishHints;
    const char* frenchPlain;
    const char* frenchHints;
    const char* hint;  // "" none
};

// A name of two lines is written with a lone CR between them, as the hint is.
constexpr FixedCaption kCaptions[] = {
    {Control::BReg, 1, "Block", "Block", "Bloquer", "Bloquer", "{Ins.}"},
    {Control::BReg, 2, "Erase", "Erase", "Effacer", "Effacer", ""},
    {Control::BReg, 3, "Quantity", "Quantity", "Quantite", "Quantite", "{*}"},
    {Control::BReg, 4, "Enter", "Enter", "Enter", "Enter", ""},
    {Control::BOp, 1, "VoidLast Item", "VoidLast", "Annuler\rDer.Art.", "Ann.Der.", "F6"},
    {Control::BOp, 2, "Void", "Void", "Annuler", "Annuler", "F7"},
    {Control::BOp, 3, "Clock In/Out", "Clock", "Horloge", "Horloge", "F8"},
    {Control::BOp, 4, "Sales Person", "Salesp.", "Vendeur", "Vendeur", "F9"},
    {Control::BOp, 5, "Client Search", "Search", "Recher. Client", "Recher.", "F11"},
    {Control::BOp, 6, "Client", "Client", "Client", "Client", "F10"},
    {Control::BOp, 7, "Product Search", "PrdSrch", "Recher. Produit", "Recher.", "F12"},
    {Control::BOp, 8, "Product", "", "Produit", "", ""},
    {Control::BSys, 1, "System", "System", "Systeme", "Systeme", ""},
    {Control::BSys, 2, "Mode", "Mode", "Mode", "Mode", ""},
    {Control::BSys, 3, "Extras", "Extras", "Online", "Online", ""},
    {Control::BSys, 4, "Print", "Print", "Imprimer", "Imprimer", ""},
    {Control::BSys, 5, "Special", "Special", "Special", "Special", "F3"},
    {Control::BSys, 6, "Sales", "Sales", "Ventes", "Ventes", "F4"},
    {Control::mTotalRegister, 0, "Total", "Total", "Total", "Total", "F1"},
    {Control::BPayment, 0, "Payment", "Payment", "Paiement", "Paiement", "F2"},
};

// Whether an optional key shows: from the settings and the loaded data.
bool Shown(const FixedCaption& c) {
    if (c.name == Control::BOp) {
        switch (c.index) {
        case 4: return gData.gSalesmanCount > 1;
        case 5: return gData.gClientCount > 1 && gSettings.gSortClients;
        case 6: return gData.gClientCount > 1;
        case 7: return gSettings.gSortProducts;
        default: return true;
        }
    }
    if (c.name == Control::BSys && c.index == 3) return gSettings.gExtrasPageOn;
    return true;
}

void WriteFixedCaptions(ScreenModel& s) {
    const int language = gSettings.gLanguage;
    if (language != 1 && language != 2) return;  // no captions for other languages
    const bool hints = gSettings.gKeyboardHints != 0;
    for (const FixedCaption& c : kCaptions) {
        std::string caption;
        if (Shown(c)) {
            if (hints) {
                caption = language == 1 ? c.englishHints : c.frenchHints;
                if (!caption.empty() && *c.hint) caption += std::string("\r") + c.hint;
            } else {
                caption = language == 1 ? c.englishPlain : c.frenchPlain;
            }
        }
        s.SetCaption(Id(c.name, c.index), caption);
    }
}

// Font sizes of BOp 1..8 and BSys 1..6.
struct KeySizes {
    std::array<int, 8> op;
    std::array<int, 6> sys;
};

KeySizes KeySizesFor(int language, bool hints) {
    if (language == 2) {
        if (hints) return {{13, 14, 14, 14, 14, 14, 14, 14}, {12, 14, 14, 12, 14, 14}};
        return {{13, 14, 14, 14, 14, 14, 12, 14}, {12, 14, 14, 12, 14, 14}};
    }
    return {{13, 14, 14, 14, 14, 14, 14, 14}, {14, 14, 14, 14, 14, 14}};
}

// ---- Extras page captions ---------------------------------------------------------------

void SetExtras(int key, int language, const std::string& caption) {
    gConstants.tables.SoftKeyCaptions[3][static_cast<std::size_t>(key)][static_cast<std::size_t>(language)] = caption;
}

// The optional commands of the Extras page get captions when their settings
// enable them. French terminals get their own texts for the purchase-order
// and order-upload keys; their label keys are those of the start-up tables.
// A key that does something is never left without a caption (an empty
// caption disables it): the device check and, in French, the card keys get
// texts of our own.
void WriteExtrasCaptions() {
    const Settings& st = gSettings;
    const bool purchaseOrders = st.gKeyOption645;
    const bool newOrders = st.gKeyOption642;
    const bool shipping = st.gKeyOption643;
    auto either = [](bool on, const char* text) { return on ? std::string(text) : std::string(); };

    SetExtras(1, 1, either(purchaseOrders, "Upload PO\r\nFrom File"));
    SetExtras(2, 1, either(purchaseOrders, "Receive\r\nPurchOrder"));
    if (st.gCardEnabled) {
        const bool terminal = st.gCardBackend == CardBackend::Terminal;
        SetExtras(13, 1, either(terminal, "Find Dejavoo\r\nTerminal"));
        SetExtras(14, 1, either(terminal, "Set  Dejavoo\r\nTerminal"));
        SetExtras(15, 1, either(terminal, "Test Dejavoo\r\nTerminal"));
        SetExtras(16, 1, either(st.gCardBackend == CardBackend::Gateway, "Test Pymt\r\nGateway"));
    }
    SetExtras(21, 1, either(newOrders, "Upload\r\nNew Orders"));
    SetExtras(24, 1, either(shipping, "Download\r\nOrdersToUPS"));

    SetExtras(9, 1, "USB Device\r\nCheck");

    SetExtras(1, 2, either(purchaseOrders, "Entrez\r\nCmd.Achat"));
    SetExtras(2, 2, either(purchaseOrders, "Reception\r\nCmd.Achat"));
    if (st.gCardEnabled) {
        const bool terminal = st.gCardBackend == CardBackend::Terminal;
        SetExtras(13, 2, either(terminal, "Trouvez\r\nTerminal"));
        SetExtras(14, 2, either(terminal, "R\xE9glez\r\nTerminal"));
        SetExtras(15, 2, either(terminal, "Testez\r\nTerminal"));
        SetExtras(16, 2, either(st.gCardBackend == CardBackend::Gateway, "Testez\r\nPasserelle"));
    }
    SetExtras(9, 2, "V\xE9rif.\r\nApp. USB");
    SetExtras(21, 2, either(newOrders, "Upload\r\nNew Orders"));
    SetExtras(24, 2, either(shipping, "Download\r\nOrders to UPS"));
}

void WriteGridTitles(ScreenModel& s) {
    s.SetCaption(Id(Control::Title_Number), "No.");
    s.SetCaption(Id(Control::Title_Description), "Description");
    s.SetCaption(Id(Control::Title_Tax), "Tax");
    s.SetCaption(Id(Control::Title_Extension), "Extension");
    if (gSettings.gLanguage == 1) {
        s.SetCaption(Id(Control::Title_Price), "Unit Price");
        s.SetCaption(Id(Control::Title_Quantity), "Quantity");
    } else if (gSettings.gLanguage == 2) {
        s.SetCaption(Id(Control::Title_Price), "Prix");
        s.SetCaption(Id(Control::Title_Quantity), "Quantite");
    }
}

// ---- department page keys ------------------------------------------------------------------

// The two caption settings of department page keys 1-8.
constexpr std::array<std::array<int, 2>, 8> kPageCaptionCodes{
    {{600, 605}, {610, 615}, {620, 625}, {630, 635}, {601, 602}, {603, 604}, {606, 607}, {608, 609}}};

std::string ScreenText(int code) {
    auto it = gSettings.gScreenText.find(code);
    return it == gSettings.gScreenText.end() ? std::string() : it->second;
}

void DressPageKey(ScreenModel& s, int k) {
    const ControlId id = Id(Control::BDep, k);
    const std::string line1 = ScreenText(kPageCaptionCodes[static_cast<std::size_t>(k - 1)][0]);
    const std::string line2 = ScreenText(kPageCaptionCodes[static_cast<std::size_t>(k - 1)][1]);
    s.SetCaption(id, line2.empty() ? line1 : line1 + "\r" + line2);
    s.SetFont(id, Typeface(line1.size() < 8 && line2.size() < 8 ? 13 : 10));
    s.SetBackColour(id, ColourValue(gSettings.gPageColour[static_cast<std::size_t>(k - 1)]));
    s.SetEnabled(id, true);
}

}  // namespace

void Skin_Apply() {
    ScreenModel& s = Screen();
    for (int k = 1; k <= kGridRows; ++k) {
        for (Control cell : {Control::Tr_Title, Control::Tr_Amount, Control::Rt_Tax}) SetTypeface(s, Id(cell, k));
        for (Control cell : {Control::Rt_Number, Control::Rt_Description}) s.SetFont(Id(cell, k), Typeface(11));
        for (Control cell : {Control::Rt_Extension, Control::Rt_Price, Control::Rt_Quantity})
            s.SetFont(Id(cell, k), Typeface(13));
    }
    // What the cashier reads out to the customer is the largest thing on the
    // receipt: the sale's total, and the balance's caption as large and bold
    // as the totals panel's amounts.
    for (const GridColumn& c : kGridColumns) s.SetFont(Id(c.title), Typeface(kGridTitleSize, true));
    s.SetFont(Id(Control::Title_Total), Typeface(kTotalsSize, true));
    s.SetFont(Id(Control::Rt_Total), Typeface(kGrandTotalSize, true));
    s.SetFont(Id(Control::Lbl_BalanceDue), Typeface(kTotalsSize, true));
    // The panels of the receipt area: the timed message is read from a
    // distance ("Not Found"), the information panel as the message line, and
    // a printout in the fixed pitch of the receipt printer so its columns
    // stand as on paper.
    s.SetFont(Id(Control::Txt_Message), Typeface(kTimedMessageSize, true));
    s.SetFont(Id(Control::Txt_All), Typeface(14, true));
    s.SetFont(Id(Control::Txt_Printer), Font{kPrintoutTypeface, 13, false, false});
    for (Control label : {Control::Lbl_Phys_Code, Control::Lbl_Phys_Desc, Control::Lbl_Phys_Quantity})
        s.SetFont(Id(label), Typeface(20, true));
}

void UI_Setup() {
    ScreenModel& s = Screen();
    const Settings& st = gSettings;

    WriteFixedCaptions(s);
    const KeySizes sizes = KeySizesFor(st.gLanguage, st.gKeyboardHints != 0);
    WriteExtrasCaptions();
    WriteGridTitles(s);

    s.SetFont(Id(Control::BPayment), Typeface(13));
    s.SetBackColour(Id(Control::BPayment), ColourValue(st.gPaymentKeyColour));
    s.SetFont(Id(Control::mTotalRegister), Typeface(14));
    s.SetBackColour(Id(Control::mTotalRegister), ColourValue(st.gColour445));

    ForEachControl([&](const ControlId& id) {
        if (id.name != Control::frmCashMain) s.SetTab(id, false, 0);
    });

    for (int k = 1; k <= 24; ++k) s.SetFont(Id(Control::mDept, k), Typeface(13));

    const std::uint32_t keypad = ColourValue(st.gColour430);
    for (int n = 1; n <= 12; ++n) {
        const ControlId id = Id(Control::mNumeric, n);
        s.SetFont(id, Typeface(28));
        s.SetBackColour(id, keypad);
        s.SetEnabled(id, true);
    }
    for (int n = 1; n <= 4; ++n) {
        const ControlId id = Id(Control::BReg, n);
        s.SetFont(id, Typeface(14));
        s.SetBackColour(id, keypad);
        s.SetEnabled(id, true);
    }
    for (int n = 1; n <= 8; ++n) {
        const ControlId id = Id(Control::BOp, n);
        SetTypeface(s, id);
        s.SetBold(id, false);
        s.SetBackColour(id, ColourValue(st.gColour400));
        s.SetEnabled(id, true);  // a blank key too
    }
    for (int k = 1; k <= 8; ++k) DressPageKey(s, k);
    for (int n = 1; n <= 6; ++n) {
        const ControlId id = Id(Control::BSys, n);
        SetTypeface(s, id);
        s.SetBold(id, false);
        s.SetBackColour(id, ColourValue(st.gMenuKeyColour));
        s.SetEnabled(id, !s.Caption(id).empty());
    }
    s.SetBackColour(Id(Control::BPayment), ColourValue(st.gPaymentKeyColour));
    s.SetEnabled(Id(Control::BPayment), true);
    s.SetFont(Id(Control::mTotalRegister), Typeface(14));
    s.SetBackColour(Id(Control::mTotalRegister), ColourValue(st.gColour445));
    s.SetEnabled(Id(Control::mTotalRegister), true);

    const std::uint32_t boxes = ColourValue(st.gColour455);
    const ControlId messageLine = Id(Control::txtCIA), entry = Id(Control::txtDEA), barCode = Id(Control::BarCode);
    s.SetFont(messageLine, Typeface(14, true));
    s.SetBackColour(messageLine, boxes);
    s.SetReadOnly(messageLine, true);
    s.SetEnabled(messageLine, true);
    s.SetFont(entry, Typeface(14, true));
    s.SetBackColour(entry, boxes);
    s.SetTab(entry, true, 1);
    s.SetReadOnly(entry, false);
    s.SetEnabled(entry, true);

    for (int n = 1; n <= 8; ++n) s.SetFontSize(Id(Control::BOp, n), sizes.op[static_cast<std::size_t>(n - 1)]);
    for (int n = 1; n <= 6; ++n) s.SetFontSize(Id(Control::BSys, n), sizes.sys[static_cast<std::size_t>(n - 1)]);

    for (int k = 1; k <= kGridRows; ++k) s.SetTab(Id(Control::Rt_Description, k), false, 0);

    s.SetTab(barCode, true, 2);
    s.SetEnabled(barCode, true);
    s.SetBackColour(barCode, boxes);

    s.SetForeColour(Id(Control::Txt_Message), ColourValue(st.gSelectedRowColour));

    // Its log lines were written when the settings were read; this run only
    // takes away the Extras captions the special operations remove.
    Special_Operations(gSettings, gConstants.tables);
}

}  // namespace tarvo
