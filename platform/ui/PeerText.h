#pragma once
// Text a peer supplied (a server's refusal, a reason quoting a document), fit for a message: at
// most maxChars characters, a cut marked with "…". A message box or a console line holding
// megabytes helps nobody and takes minutes to lay out; the client's own messages are not cut.
#include <QString>

namespace brevant::ui {

constexpr int MaxPeerTextChars = 400;
QString peerText(const QString& text, int maxChars = MaxPeerTextChars);

} // namespace brevant::ui
