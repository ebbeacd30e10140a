// The visual-style marker.
#include "widgets/WinXP.h"

#include "framework/Exception.h"

namespace xp {

TWinXP::TWinXP(tmb::Component* owner) : tmb::Component(owner) {
    if (!owner)
        return;
    int count = 0;
    for (tmb::Component* c : owner->Components())
        if (dynamic_cast<TWinXP*>(c))
            ++count;
    // Throwing here unwinds the base part too, which takes this one out of the owner.
    if (count > 1)
        throw tmb::Exception(L"Only one instance of TWinXP allowed on form");
}

} // namespace xp
