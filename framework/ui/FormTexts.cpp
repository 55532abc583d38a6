#include "framework/ui/FormTexts.h"

#include <exception>

#include "framework/core/Application.h"
#include "framework/core/HiddenStrings.h"
#include "framework/ui/QtBridge.h"

namespace gs {

QString DecoderText(std::string_view name) {
    try {
        return QString::fromUtf8(HiddenText(name));
    } catch (const std::exception&) {
        return {};
    }
}

QString VersionLine(const TQBApplication& app) {
    return DecoderText(kTextVersionWord) + ' ' + qs(app.VersionText);
}

}  // namespace gs
