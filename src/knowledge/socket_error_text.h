#pragma once

#include <string>
#include <string_view>

namespace knowledge {

// The classic English description of a Winsock error code; empty for a code not listed.
// Reasons built from these texts are compared elsewhere (NamesNetworkLoss), so they stay exactly
// as listed.
std::string SocketErrorText(int winsockCode);

// The Winsock code that stands for a Linux errno value (ECONNRESET -> 10054 ...); 0 when there
// is none.
int WinsockCodeFromErrno(int errnoValue);

// The reason of a failed socket call: the text of its Winsock equivalent, or the system's own
// description when there is none, so that a failure never reads as an empty reason.
std::u16string SocketFailureReason(int errnoValue);

// True when a reason holds the text of an error that a dead network leaves on an established
// connection. Winsock reports it as an aborted connection; Linux, depending on how the network
// died, as a time-out or an unreachable network or host.
bool NamesNetworkLoss(std::u16string_view reason);

}  // namespace knowledge
