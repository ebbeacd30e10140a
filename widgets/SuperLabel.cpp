// The interim link label.
#include "widgets/SuperLabel.h"

#include <shellapi.h>

namespace xp {

TmyaSuperLabel::TmyaSuperLabel(tmb::Component* owner) : tmb::Label(owner) {}

std::wstring TmyaSuperLabel::Address() const {
    const std::wstring caption = Text();
    switch (labelType_) {
    case ltHttp: return L"http://" + caption;
    case ltMail: return L"mailto:" + caption;
    case ltFtp: return L"ftp://" + caption;
    case ltNews: return L"news:" + caption;
    case ltSubSuperScript:
    case ltNormal: break;
    }
    return caption;
}

void TmyaSuperLabel::Click() {
    if (labelType_ >= ltHttp)
        ShellExecuteW(nullptr, L"open", Address().c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    tmb::Label::Click();
}

} // namespace xp
