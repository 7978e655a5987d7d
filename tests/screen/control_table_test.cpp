// Control ids are checked by the compiler: a control is named by a `Control`
// enumerator, never by text, so a misspelt name does not build.
#include "screen/control_table.h"

#include <string>
#include <string_view>

namespace tarvo {
namespace {

template <class Name>
concept NamesAControl = requires(Name name) {
    ControlId{name, 5};
};

static_assert(NamesAControl<Control>);
static_assert(!NamesAControl<const char*>);
static_assert(!NamesAControl<std::string>);
static_assert(!NamesAControl<std::string_view>);
static_assert(!NamesAControl<int>);

}  // namespace
}  // namespace tarvo
