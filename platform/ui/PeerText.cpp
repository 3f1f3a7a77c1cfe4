#include "platform/ui/PeerText.h"

namespace brevant::ui {

QString peerText(const QString& text, int maxChars) {
    if (text.size() <= maxChars)
        return text;
    qsizetype cut = maxChars;
    if (cut > 0 && text.at(cut - 1).isHighSurrogate())
        --cut; // never half a character
    return text.left(cut) + QChar(0x2026);
}

} // namespace brevant::ui
