#include "screen/control_table.h"

#include <ostream>

namespace tarvo {

std::string ControlText(const ControlId& id) {
    const ControlRow* row = FindControlRow(id.name);
    if (!row) return std::string();
    std::string text(row->name);
    switch (row->shape) {
    case ControlShape::Single: break;
    case ControlShape::Array: text += "_" + std::to_string(id.index); break;
    case ControlShape::Numbered: text += std::to_string(id.index); break;
    }
    return text;
}

std::ostream& operator<<(std::ostream& out, Control c) { return out << ControlName(c); }

std::ostream& operator<<(std::ostream& out, const ControlId& id) { return out << ControlText(id); }

}  // namespace tarvo
