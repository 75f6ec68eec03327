#pragma once

#include <string>

namespace knowledge {

// The classic English description of a Winsock error code; empty for a code not listed.
// Reasons built from these texts are compared elsewhere ("Software caused connection abort"
// decides whether a failed transfer means the network is gone), so they stay exactly as listed.
std::string SocketErrorText(int winsockCode);

// The Winsock code that stands for a Linux errno value (ECONNRESET -> 10054 ...); 0 when there
// is none.
int WinsockCodeFromErrno(int errnoValue);
// The same for a getaddrinfo result (EAI_NONAME -> 11001 ...).
int WinsockCodeFromResolverError(int gaiError);

// The reason of a failed socket call: the text of its Winsock equivalent, or the system's own
// description when there is none, so that a failure never reads as an empty reason.
std::u16string SocketFailureReason(int errnoValue);

}  // namespace knowledge
