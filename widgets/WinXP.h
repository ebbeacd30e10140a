// The marker for the common-controls visual style that the program's manifest requests.
// It draws and changes nothing; a form holds at most one.
#pragma once

#include "framework/Component.h"

namespace xp {

class TWinXP : public tmb::Component {
public:
    // Raises "Only one instance of TWinXP allowed on form" when the owner already has one;
    // the refused component is not added to the owner.
    explicit TWinXP(tmb::Component* owner);
};

} // namespace xp
