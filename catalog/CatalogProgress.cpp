// The progress gate: when the callback is called, and what it is told.
#include "catalog/CatalogProgress.h"

namespace catalog {

Cancelled::Cancelled() : tmb::Exception(L"O cat\u00e1logo foi cancelado: nada foi gravado.") {}

void ProgressGate::Read(const Totals& counted, const std::wstring* folder, bool last) {
    if (!callback_ || (!last && !Due()))
        return;
    state_.phase = Progress::Phase::Reading;
    state_.counted = counted;
    if (folder)
        state_.folder = *folder;
    else
        state_.folder.clear();
    Send();
}

void ProgressGate::BeginWriting(const Totals& counted) {
    state_.phase = Progress::Phase::Writing;
    state_.counted = counted;
    state_.folder.clear();
    state_.written = 0;
    if (callback_)
        Send();
}

void ProgressGate::Send() {
    last_ = GetTickCount64();
    if (!callback_(state_))
        throw Cancelled();
}

} // namespace catalog
