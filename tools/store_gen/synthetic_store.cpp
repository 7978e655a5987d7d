#include "synthetic_store.h"

#include <cstdio>
#include <filesystem>
#include <random>
#include <vector>

namespace tarvo {
namespace {

const char* const kWords[] = {
    "apple",  "banana", "coffee", "cheese", "bread",  "butter", "yogurt", "tomato", "potato", "onion",
    "carrot", "lettuce", "pepper", "garlic", "lemon", "orange", "grape",  "cherry", "peach",  "melon",
    "chicken", "beef",  "pork",   "salmon", "tuna",   "shrimp", "rice",   "pasta",  "flour",  "sugar",
    "honey",  "jam",    "cereal", "cookie", "cracker", "chips", "soda",   "juice",  "water",  "tea",
    "soap",   "shampoo", "towel", "tissue", "candle", "battery", "bulb",  "tape",   "glue",   "paper",
    "pencil", "marker", "notebook", "folder", "stapler", "scissor", "brush", "sponge", "bucket", "broom",
    "organic", "fresh", "frozen", "large",  "small",  "family", "value",  "premium", "classic", "light",
    "extra",  "mild",   "spicy",  "sweet",  "sour",   "whole",  "sliced", "diced",  "roasted", "smoked"};
constexpr int kWordCount = sizeof kWords / sizeof kWords[0];

const char* const kNames[] = {"Martin", "Tremblay", "Gagnon", "Roy", "Cote", "Bouchard", "Gauthier", "Morin",
                              "Lavoie", "Fortin", "Smith", "Johnson", "Brown", "Wilson", "Taylor", "Anderson",
                              "Thomas", "Moore", "White", "Harris", "Clark", "Lewis", "Walker", "Young"};
constexpr int kNameCount = sizeof kNames / sizeof kNames[0];

class Out {
public:
    explicit Out(const std::string& path) : f_(std::fopen(path.c_str(), "wb")), path_(path) {
        if (f_) std::setvbuf(f_, nullptr, _IOFBF, 1 << 20);
    }
    ~Out() { Close(); }
    bool ok() const { return f_ != nullptr && !failed_; }
    void Line(const std::string& s) {
        if (!f_) return;
        if (std::fwrite(s.data(), 1, s.size(), f_) != s.size() || std::fwrite("\r\n", 1, 2, f_) != 2) failed_ = true;
    }
    bool Close() {
        if (f_ && std::fclose(f_) != 0) failed_ = true;
        f_ = nullptr;
        return !failed_;
    }
    const std::string& path() const { return path_; }

private:
    std::FILE* f_;
    std::string path_;
    bool failed_ = false;
};

// Puts `v` into `line` at 1-based column `col`, blank-padded or cut to `width`.
void Put(std::string& line, int col, int width, const std::string& v) {
    std::string f = v.substr(0, static_cast<std::size_t>(width));
    f.resize(static_cast<std::size_t>(width), ' ');
    line.replace(static_cast<std::size_t>(col - 1), static_cast<std::size_t>(width), f);
}

std::string Num(long v, int width, bool zeros = false) {
    char b[32];
    if (zeros)
        std::snprintf(b, sizeof b, "%0*ld", width, v);
    else
        std::snprintf(b, sizeof b, "%ld", v);
    return b;
}

std::string Money2(long cents) {
    char b[32];
    std::snprintf(b, sizeof b, "%ld.%02ld", cents / 100, cents % 100);
    return b;
}

}  // namespace

std::string SyntheticProductNumber(int i) { return Num(10000000L + i, 8); }
std::string SyntheticClientId(int i) { return Num(i, 8, true); }

bool WriteSyntheticStore(const std::string& folder, const std::string& terminal, const StoreSize& size,
                         std::string* error) {
    std::error_code ec;
    std::filesystem::create_directories(folder + "/Files", ec);
    std::filesystem::create_directories(folder + "/Data", ec);
    const std::string base = folder + "/Files/" + terminal;
    std::mt19937 rng(12345);
    auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    std::vector<Out*> files;
    bool ok = true;
    auto finish = [&](Out& o) {
        if (!o.Close()) {
            ok = false;
            if (error) *error = "cannot write " + o.path();
        }
    };

    {   // products, sorted by product number (columns 12-31)
        Out o(base + ".PRD");
        for (int i = 1; i <= size.products; ++i) {
            std::string l(273, ' ');
            Put(l, 1, 8, Num(i, 8, true));
            if (i % 50 == 0) l[8] = 'S';
            Put(l, 12, 20, SyntheticProductNumber(i));
            Put(l, 34, 6, Num(1000 + pick(40), 4));
            Put(l, 40, 20, "0" + Num(60000000000L + i * 7L, 12));
            std::string desc = std::string(kWords[pick(kWordCount)]) + " " + kWords[pick(kWordCount)] + " " +
                               kWords[pick(kWordCount)] + " " + Num(pick(900) + 100, 3);
            Put(l, 60, 30, desc);
            Put(l, 90, 3, i % 3 ? "110" : "100");
            Put(l, 94, 6, Num(10 * (1 + pick(9)), 2));
            long cents = 99 + pick(20000);
            for (int p = 0; p < 5; ++p) Put(l, 100 + 15 * p, 12, Money2(cents - p * 5 > 0 ? cents - p * 5 : cents));
            Put(l, 175, 5, "1");
            Put(l, 180, 10, Num(pick(500), 1));
            Put(l, 190, 10, Num(pick(50), 1));
            Put(l, 200, 10, "20261201");
            Put(l, 230, 10, Money2(cents / 2));
            Put(l, 240, 10, Money2(cents / 2 + 3));
            Put(l, 250, 14, "A" + Num(pick(40), 2, true) + "-S" + Num(pick(9), 1));
            o.Line(l);
        }
        finish(o);
    }
    {   // clients, sorted by client number (columns 12-19)
        Out o(base + ".CLI");
        for (int i = 1; i <= size.clients; ++i) {
            std::string l(210, ' ');
            Put(l, 1, 8, SyntheticClientId(i));
            Put(l, 9, 1, Num(i % 3, 1));
            Put(l, 12, 8, Num(i, 8, true));
            Put(l, 20, 30, std::string(kNames[pick(kNameCount)]) + " " + kNames[pick(kNameCount)]);
            Put(l, 50, 30, Num(1 + pick(9999), 1) + " Main Street");
            Put(l, 80, 30, "Springfield");
            Put(l, 110, 30, "Z" + Num(pick(9), 1) + "X " + Num(pick(9), 1) + "Y" + Num(pick(9), 1));
            Put(l, 140, 20, "(514) 555-" + Num(pick(10000), 4, true));
            Put(l, 190, 15, "Good");
            Put(l, 205, 5, Num(pick(4) * 5, 1));
            Put(l, 210, 1, Num(1 + pick(5), 1));
            o.Line(l);
        }
        finish(o);
    }
    {   // vendors, in no particular order
        Out o(base + ".VND");
        for (int i = 1; i <= size.vendors; ++i) {
            std::string l(398, ' ');
            Put(l, 1, 8, "V" + Num((i * 7919) % 10000000, 7, true));
            Put(l, 9, 40, std::string(kNames[pick(kNameCount)]) + " Supply " + Num(i, 1));
            Put(l, 49, 40, Num(1 + pick(999), 1) + " Industrial Road");
            Put(l, 89, 40, "Springfield");
            Put(l, 181, 20, "(514) 555-" + Num(pick(10000), 4, true));
            Put(l, 221, 25, kNames[pick(kNameCount)]);
            Put(l, 246, 10, Num(pick(500), 1));
            o.Line(l);
        }
        finish(o);
    }
    {   // aliases: 1(18) alias text, 19(20) product key; the register sorts them
        Out o(base + ".PAX");
        for (int i = 1; i <= size.aliases; ++i) {
            std::string l(38, ' ');
            int p = 1 + pick(size.products > 0 ? size.products : 1);
            Put(l, 1, 18, std::string(kWords[pick(kWordCount)]) + Num(p, 1));
            Put(l, 19, 20, SyntheticProductNumber(p));
            o.Line(l);
        }
        finish(o);
    }
    {   // kits: header 1(20) product code, 21(10) kit number, 31(1) type; lines by kit number
        Out h(base + ".KTM"), d(base + ".KTD");
        for (int k = 1; k <= size.kits; ++k) {
            std::string l(36, ' ');
            Put(l, 1, 20, SyntheticProductNumber(k * 97 <= size.products ? k * 97 : k));
            Put(l, 21, 10, "K" + Num(k, 9, true));
            Put(l, 31, 1, "1");
            h.Line(l);
            for (int c = 1; c <= 3; ++c) {
                std::string m(55, ' ');
                Put(m, 1, 10, "K" + Num(k, 9, true));
                Put(m, 11, 20, SyntheticProductNumber(1 + (k * 13 + c) % (size.products > 0 ? size.products : 1)));
                Put(m, 31, 10, Num(c, 1));
                Put(m, 41, 8, Money2(100 * c));
                d.Line(m);
            }
        }
        finish(h);
        finish(d);
    }
    {   // staff and categories
        Out m(base + ".MAN"), c(base + ".CSH"), s(base + ".SAL"), g(base + ".CTG");
        for (int i = 1; i <= 20; ++i) {
            std::string l(60, ' ');
            Put(l, 1, 8, Num(900 + i, 1));
            Put(l, 10, 10, Num(9000 + i, 1));
            Put(l, 22, 30, std::string("Manager ") + kNames[i % kNameCount]);
            Put(l, 52, 9, "111111111");
            m.Line(l);
        }
        for (int i = 1; i <= 200; ++i) {
            std::string l(50, ' ');
            Put(l, 1, 8, Num(i, 1));
            Put(l, 10, 10, Num(1000 + i, 1));
            Put(l, 20, 30, std::string("Cashier ") + kNames[i % kNameCount]);
            Put(l, 50, 1, i % 2 ? "1" : "3");
            c.Line(l);
        }
        for (int i = 1; i <= 100; ++i) {
            std::string l(49, ' ');
            Put(l, 1, 8, Num(500 + i, 1));
            Put(l, 10, 10, Num(5000 + i, 1));
            Put(l, 20, 30, std::string("Salesman ") + kNames[i % kNameCount]);
            s.Line(l);
        }
        for (int i = 0; i < 40; ++i) {
            std::string l(37, ' ');
            Put(l, 1, 7, Num(1000 + i, 4));
            Put(l, 8, 30, std::string("Category ") + kWords[i % kWordCount]);
            g.Line(l);
        }
        finish(m);
        finish(c);
        finish(s);
        finish(g);
    }
    return ok;
}

}  // namespace tarvo
