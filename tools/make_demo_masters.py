#!/usr/bin/env python3
"""Writes the demo store's master files (managers, cashiers, salesmen,
categories, products, clients, vendors, kits, aliases) for terminal 1234567
into demo/Files, in the fixed-column layouts the register loads: one record a
line, CR LF line ends, windows-1252 bytes.

Usage: tools/make_demo_masters.py [files folder]   (default: demo/Files)
"""
import os
import sys

TERMINAL = "1234567"


class Line:
    """A fixed-column text line; put(column, width, text) with columns from 1."""

    def __init__(self, length):
        self.chars = [" "] * length

    def put(self, column, width, text):
        text = str(text)[:width]
        for i, ch in enumerate(text):
            self.chars[column - 1 + i] = ch
        return self

    def text(self):
        return "".join(self.chars)


def upc(body):
    """UPC-A code: 11 digits and their check digit."""
    digits = [int(c) for c in body]
    total = 3 * sum(digits[0::2]) + sum(digits[1::2])
    return body + str((10 - total % 10) % 10)


def managers():
    rows = [("1", "9999", "Store Manager", "111111111"),
            ("2", "8888", "Assistant Manager", "110100000")]
    return [Line(60).put(1, 8, n).put(10, 10, k).put(22, 30, name).put(52, 9, r).text()
            for n, k, name, r in rows]


def cashiers():
    # The demo cashier logs in with 1111.
    rows = [("1", "1111", "Demo Cashier", 1),
            ("2", "2222", "Head Cashier", 3),
            ("3", "3333", "Evening Cashier", 2)]
    return [Line(50).put(1, 8, n).put(10, 10, k).put(20, 30, name).put(50, 1, lvl).text()
            for n, k, name, lvl in rows]


def salesmen():
    rows = [("1", "5001", "Anne Sales"), ("2", "5002", "Bob Sales")]
    return [Line(49).put(1, 8, n).put(10, 10, k).put(20, 30, name).text() for n, k, name in rows]


CATEGORIES = [("1010", "Grocery"), ("1020", "Produce"), ("1030", "Dairy"), ("1040", "Bakery"),
              ("1080", "No discount items")]


def categories():
    return [Line(37).put(1, 7, c).put(8, 30, name).text() for c, name in CATEGORIES]


# number, weighed, category, description, taxes (columns 90-92, "1" = taxable),
# department, price, stock, location
PRODUCTS = [
    ("1001", "", "1010", "Coffee 1 lb", "000", "10", "8.99", "40", "Aisle 3"),
    ("1002", "", "1010", "Decaf Coffee 1 lb", "000", "10", "9.49", "12", "Aisle 3"),
    ("1003", "", "1010", "Green Tea 20 bags", "000", "10", "3.79", "25", "Aisle 3"),
    ("1004", "", "1010", "Rice 2 kg", "000", "10", "4.59", "30", "Aisle 2"),
    ("1005", "", "1010", "Spaghetti 900 g", "000", "10", "2.29", "48", "Aisle 2"),
    ("1006", "", "1010", "Olive Oil 1 L", "000", "10", "11.99", "15", "Aisle 2"),
    ("1007", "", "1010", "Tomato Sauce 680 ml", "000", "10", "1.99", "60", "Aisle 2"),
    ("1008", "", "1010", "Sugar 2 kg", "000", "10", "3.49", "22", "Aisle 4"),
    ("1009", "", "1010", "Flour 2.5 kg", "000", "10", "4.29", "18", "Aisle 4"),
    ("1010", "", "1010", "Potato Chips 200 g", "110", "10", "3.99", "35", "Aisle 5"),
    ("2001", "S", "1020", "Bananas", "000", "20", "0.69", "120", "Produce"),
    ("2002", "S", "1020", "Apples Gala", "000", "20", "1.49", "80", "Produce"),
    ("2003", "S", "1020", "Oranges Navel", "000", "20", "1.29", "75", "Produce"),
    ("2004", "", "1020", "Carrots 2 lb bag", "000", "20", "1.99", "20", "Produce"),
    ("2005", "", "1020", "Romaine Lettuce", "000", "20", "2.49", "16", "Produce"),
    ("2006", "S", "1020", "Tomatoes on the vine", "000", "20", "2.99", "30", "Produce"),
    ("3001", "", "1030", "Milk 2% 1 L", "000", "30", "2.39", "50", "Dairy case"),
    ("3002", "", "1030", "Butter 454 g", "000", "30", "5.49", "24", "Dairy case"),
    ("3003", "", "1030", "Cheddar Cheese 400 g", "000", "30", "7.99", "14", "Dairy case"),
    ("3004", "", "1030", "Yogurt 650 g", "000", "30", "3.89", "20", "Dairy case"),
    ("3005", "", "1030", "Crème fraîche 250 ml", "000", "30", "3.49", "10", "Dairy case"),
    ("4001", "", "1040", "Chocolate Cookies", "110", "40", "3.29", "36", "Bakery"),
    ("4002", "", "1040", "White Bread", "000", "40", "2.79", "25", "Bakery"),
    ("4003", "", "1040", "Croissants 4-pack", "000", "40", "4.49", "12", "Bakery"),
    ("4004", "", "1040", "Bagels 6-pack", "000", "40", "3.99", "10", "Bakery"),
    ("4005", "", "1040", "Blueberry Muffins", "110", "40", "5.99", "8", "Bakery"),
    ("5001", "", "1010", "Gift Basket (kit)", "110", "10", "24.99", "5", "Front"),
    ("5002", "", "1080", "Reusable Bag", "110", "10", "0.99", "200", "Front"),
    ("5003", "", "1080", "Batteries AA 4-pack", "110", "10", "6.49", "30", "Front"),
    ("5004", "", "1080", "Newspaper", "100", "10", "1.50", "20", "Front"),
]


def products():
    out = []
    for i, (num, weighed, cat, desc, tax, dept, price, stock, loc) in enumerate(PRODUCTS):
        line = Line(273)
        line.put(1, 8, num).put(9, 1, weighed).put(12, 20, num).put(34, 6, cat)
        line.put(40, 20, upc("06%04d%05d" % (1000 + i // 10, int(num))))
        line.put(60, 30, desc).put(90, 3, tax).put(94, 6, dept)
        line.put(100, 12, price)
        line.put(175, 5, "1").put(180, 10, stock).put(190, 10, "0").put(200, 10, "0")
        cost = "%.2f" % (float(price) * 0.6)
        line.put(230, 10, cost).put(240, 10, cost).put(250, 14, loc)
        out.append(line.text())
    keys = [p[0] for p in PRODUCTS]
    assert keys == sorted(keys), "products must be sorted by product number"
    return out


# number, name, address lines, telephone, discount
CLIENTS = [
    ("1", "Cash Customer", "", "", "", "", "0"),
    ("1001", "Martin Dubois", "12 Elm Street", "Springfield", "", "555-0101", "0"),
    ("1002", "Sarah Johnson", "45 Oak Avenue", "Springfield", "", "555-0102", "5"),
    ("1003", "Luc Tremblay", "7 Pine Road", "Shelbyville", "", "555-0103", "0"),
    ("1004", "Emily Chen", "300 Main Street", "Apt 12", "Springfield", "555-0104", "0"),
    ("1005", "Hélène Côté", "18 Rue Principale", "Springfield", "", "555-0105", "10"),
    ("1006", "Acme Catering Ltd", "900 Industrial Way", "Springfield", "", "555-0106", "5"),
    ("1007", "David Smith", "2 Birch Lane", "Capital City", "", "555-0107", "0"),
    ("1008", "Maria Garcia", "61 Maple Drive", "Springfield", "", "555-0108", "0"),
    ("1009", "Springfield School", "1 School Road", "Springfield", "", "555-0109", "0"),
]


def clients():
    out = []
    for num, name, a1, a2, a3, phone, disc in CLIENTS:
        line = Line(210)
        line.put(1, 8, num).put(9, 1, "0").put(12, 8, num).put(20, 30, name)
        line.put(50, 30, a1).put(80, 30, a2).put(110, 30, a3).put(140, 20, phone)
        line.put(205, 5, disc).put(210, 1, "1")
        out.append(line.text())
    keys = [c[0] for c in CLIENTS]
    assert keys == sorted(keys), "clients must be sorted by client number (as text)"
    return out


VENDORS = [
    ("V100", "Springfield Coffee Roasters", "88 Bean Street", "Springfield", "555-0201", "555-0202",
     "Tom Roast", "100"),
    ("V200", "Valley Farms Produce", "RR 2", "Green Valley", "555-0301", "", "Ann Field", "50"),
    ("V300", "Northern Dairy Co-op", "12 Creamery Road", "Northtown", "555-0401", "555-0402",
     "Paul Milk", "75"),
]


def vendors():
    out = []
    for code, name, a1, a2, phone, fax, contact, minimum in VENDORS:
        line = Line(398)
        line.put(1, 8, code).put(9, 40, name).put(49, 40, a1).put(89, 40, a2)
        line.put(181, 20, phone).put(201, 20, fax).put(221, 25, contact).put(246, 10, minimum)
        line.put(256, 100, "Demo vendor")
        out.append(line.text())
    return out


def kit_headers():
    # Gift basket 5001 is kit 1, type 3: the components come at price 0,
    # marked as kit components.
    return [Line(36).put(1, 20, "5001").put(21, 10, "1").put(31, 1, "3").text()]


def kit_lines():
    rows = [("1001", "1", "0"), ("1003", "2", "0"), ("4001", "1", "0")]
    return [Line(55).put(1, 10, "000001").put(11, 20, key).put(31, 10, qty).put(41, 8, price).text()
            for key, qty, price in rows]


def aliases():
    rows = [("JAVA", "1001"), ("COFFEE BEANS", "1001"), ("BANANA", "2001"), ("MILK", "3001"),
            ("GIFT", "5001")]
    return [Line(38).put(1, 18, alias).put(19, 20, key).text() for alias, key in rows]


def write(folder, ext, lines):
    path = os.path.join(folder, TERMINAL + ext)
    with open(path, "wb") as f:
        for line in lines:
            f.write(line.encode("cp1252") + b"\r\n")


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "demo", "Files")
    write(folder, ".MAN", managers())
    write(folder, ".CSH", cashiers())
    write(folder, ".SAL", salesmen())
    write(folder, ".CTG", categories())
    write(folder, ".PRD", products())
    write(folder, ".CLI", clients())
    write(folder, ".VND", vendors())
    write(folder, ".KTM", kit_headers())
    write(folder, ".KTD", kit_lines())
    write(folder, ".PAX", aliases())


if __name__ == "__main__":
    main()
